// The least a once-a-second monitor can cost: windows of the monitors' size,
// each with a window thread and a sampling thread that every second takes
// and releases a named mutex, sends one message to its window and has it
// invalidated and painted from a memory bitmap. Nothing is computed or drawn
// beyond one blit, so what this costs under wine is wine's own share of
// what every monitor does.
//   WineFloor.exe [windows] [seconds]
#include <windows.h>

#include <cstdlib>

namespace {

const UINT SampleMessage = WM_APP + 100;
const wchar_t ClassName[] = L"ZorvanHFloorWindow";

struct FloorWindow {
    int index;
    HWND window;
    HDC imageDc;
    HBITMAP image;
    HBITMAP oldImage;
    HANDLE stopEvent;
    HANDLE ready;
};

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FloorWindow* floor = reinterpret_cast<FloorWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case SampleMessage:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc && floor)
            BitBlt(dc, 0, 0, 192, 91, floor->imageDc, 0, 0, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI SamplingThread(void* parameter)
{
    FloorWindow* floor = static_cast<FloorWindow*>(parameter);
    HANDLE lock = CreateMutexW(nullptr, FALSE, L"ZorvanHFloorLock");
    int value = 0;
    while (WaitForSingleObject(floor->stopEvent, 1000) == WAIT_TIMEOUT) {
        if (lock && WaitForSingleObject(lock, 1000) == WAIT_OBJECT_0) {
            value++;
            ReleaseMutex(lock);
        }
        SendMessageW(floor->window, SampleMessage, 0, LPARAM(&value));
    }
    if (lock)
        CloseHandle(lock);
    return 0;
}

DWORD WINAPI WindowThread(void* parameter)
{
    FloorWindow* floor = static_cast<FloorWindow*>(parameter);
    const int x = (floor->index % 4) * 210 + 10, y = (floor->index / 4) * 140 + 10;
    floor->window =
        CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, ClassName, L"Floor", WS_POPUP | WS_CAPTION | WS_VISIBLE, x, y,
                        200, 128, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HDC screen = GetDC(nullptr);
    floor->imageDc = CreateCompatibleDC(screen);
    floor->image = CreateCompatibleBitmap(screen, 192, 91);
    ReleaseDC(nullptr, screen);
    floor->oldImage = HBITMAP(SelectObject(floor->imageDc, floor->image));
    PatBlt(floor->imageDc, 0, 0, 192, 91, BLACKNESS);
    SetWindowLongPtrW(floor->window, GWLP_USERDATA, LONG_PTR(floor));
    SetEvent(floor->ready);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    SelectObject(floor->imageDc, floor->oldImage);
    DeleteObject(floor->image);
    DeleteDC(floor->imageDc);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 8;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 120;
    if (count < 1 || count > 16 || seconds < 1)
        return 2;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FloorProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = ClassName;
    if (!RegisterClassW(&windowClass))
        return 1;
    FloorWindow floors[16] = {};
    HANDLE threads[32] = {};
    int started = 0;
    for (int i = 0; i < count; i++) {
        floors[i].index = i;
        floors[i].stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        floors[i].ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        threads[started++] = CreateThread(nullptr, 0, WindowThread, &floors[i], 0, nullptr);
        WaitForSingleObject(floors[i].ready, 10000);
        threads[started++] = CreateThread(nullptr, 0, SamplingThread, &floors[i], 0, nullptr);
    }
    Sleep(DWORD(seconds) * 1000);
    for (int i = 0; i < count; i++) {
        SetEvent(floors[i].stopEvent);
        PostMessageW(floors[i].window, WM_CLOSE, 0, 0);
    }
    WaitForMultipleObjects(DWORD(started), threads, TRUE, 10000);
    for (int i = 0; i < started; i++)
        CloseHandle(threads[i]);
    for (int i = 0; i < count; i++) {
        CloseHandle(floors[i].stopEvent);
        CloseHandle(floors[i].ready);
    }
    return 0;
}

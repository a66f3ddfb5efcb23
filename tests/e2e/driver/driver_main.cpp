// Console program that finds, reads and presses the agent's windows from
// inside the same wine prefix. A test script starts it once and sends it one
// command a line, so no check pays for a new wine process:
//
// Request:  <id> US <command> US <word> ... LF      (US = 0x1F, UTF-8)
// Answer:   RS <id> " begin" LF, the command's output, RS <id> " " <code> LF
//                                                   (RS = 0x1E)
// The framing lets a client that restarted a dead driver skip whatever the
// dead one left in the pipe.
#include "driver.h"

#include <cwchar>
#include <iostream>
#include <vector>

typedef int Handler(const DriverArgs*);
Handler WaitWindow, WaitGone, ListWindows, Property, Focus, WaitActive, ReadMessageBox, Press, SendOrPost, Flood,
    MutexExists, Region, TrayDelete, Key, Tooltips, WaitTip, ProcessInfo, WatchProcess, ExitCode, ListItems, SelectRow,
    WaitControlState, HoldDesktop, Launch, Sim, SimCount, Measure, MeasureMenu;

// What the dispatcher does before the handler runs: it finds window words[0]
// (only a shown one, only a message box) and, for Control, its control
// words[1] where given; a window not found within the time-out ends the
// command with NotMet.
enum { Window = 1, Control = 3, Shown = 5, Box = 9 };

struct Command {
    const wchar_t* name;
    Handler* handler;
    int lookup;
};

// Words, and what each command prints:
static const Command Commands[] = {
    // <caption> [control-id]: the hwnd
    {L"wait-window", WaitWindow, Control},
    {L"wait-shown", WaitWindow, Shown},
    {L"wait-gone", WaitGone},
    // hwnd pid visible class caption
    {L"list-windows", ListWindows},
    // <caption>: hwnd id visible class text
    {L"list-children", ListWindows, Window},
    // <caption> [control-id]
    {L"text", Property, Control},
    {L"style", Property, Control},
    {L"exstyle", Property, Control},
    // <caption> [control-id]: id class text of the focus; waits for that id
    {L"focus", Focus, Window},
    // <caption>: the caption of the window in front
    {L"wait-active", WaitActive},
    // <caption>: icon=, then text= and the text to the end
    {L"msgbox", ReadMessageBox, Box},
    // <caption> <control-id> [--click]
    {L"press", Press, Window},
    // <caption> <msg|name:N> [wparam] [lparam]; send prints the result
    {L"send", SendOrPost, Window},
    {L"post", SendOrPost, Window},
    // <caption> <first> <last> [skip]: how many sends went unanswered
    {L"flood", Flood, Window},
    {L"mutex-exists", MutexExists},
    // <caption>: left top right bottom
    {L"window-rect", Property, Window},
    // <caption>: "none", or the region's box
    {L"region", Region, Window},
    {L"tray-delete", TrayDelete, Window},
    // <caption> <virtual-key>
    {L"key", Key, Window},
    // [text]: every tool's text, or the rectangles of tools with that text
    {L"tooltips", Tooltips},
    // <text>: the tip's rectangle
    {L"wait-tip", WaitTip},
    // <pid>: gdi= user= handles= private=
    {L"gui-resources", ProcessInfo},
    {L"watch-process", WatchProcess},
    {L"exit-code", ExitCode},
    {L"modules", ProcessInfo},
    // <caption> <control-id>: index image state text
    {L"list-items", ListItems, Control},
    // <caption> <control-id> <row> <on|off>
    {L"lv-select", SelectRow, Control},
    // <caption>: "layered <alpha>" or "opaque"
    {L"layered", Property, Window},
    // <caption> <control-id> <text>, or <on|off>
    {L"wait-text", WaitControlState},
    {L"wait-enabled", WaitControlState},
    {L"hold-desktop", HoldDesktop},
    // <program path>: the pid
    {L"launch", Launch},
    // <command> [words]: the simulator's answer
    {L"sim", Sim},
    // <code> <minimum>
    {L"sim-count", SimCount},
    // <caption>: controls whose text does not fit, and overlapping ones
    {L"measure", Measure, Window},
    // <caption> <text items>: menu texts cut or run together
    {L"measure-menu", MeasureMenu, Window},
};

// Each command runs on a thread of its own: a thread that has moved to a
// virtual desktop cannot move back, and the next command may want another.
static DWORD WINAPI Run(void* context)
{
    wchar_t** argv = (wchar_t**)context;
    DriverArgs args = {argv[0]};
    const wchar_t* desktop = nullptr;
    args.timeoutMs = 5000;
    for (int i = 1; argv[i]; ++i) {
        if (!wcscmp(argv[i], L"--msgbox"))
            args.messageBoxOnly = true;
        else if (!wcscmp(argv[i], L"--click"))
            args.click = true;
        else if (!wcscmp(argv[i], L"--timeout") && argv[i + 1])
            args.timeoutMs = wcstoul(argv[++i], nullptr, 0);
        else if (!wcscmp(argv[i], L"--desktop") && argv[i + 1])
            desktop = argv[++i];
        else if (args.count < 63)
            args.words[args.count++] = argv[i];
    }
    for (int i = 0; i < 64; ++i)
        if (!args.words[i])
            args.words[i] = L"";
        else if (i < 4)
            args.number[i] = wcstoull(args.words[i], nullptr, 0);
    for (const Command& command : Commands) {
        if (wcscmp(command.name, argv[0]))
            continue;
        args.messageBoxOnly |= command.lookup == Box;
        args.shownOnly = command.lookup == Shown;
        args.start = GetTickCount();
        // Window enumeration sees only the calling thread's desktop. This
        // thread is the command's own, and a desktop that a thread is on
        // cannot be closed: its handle goes with the process.
        HDESK moved = desktop ? WaitDesktop(&args, desktop) : nullptr;
        if (desktop && !(moved && SetThreadDesktop(moved))) {
            CloseDesktop(moved);
            Print(L"no desktop %ls", desktop);
            return NotMet;
        }
        if (command.lookup) {
            while (!(args.window = args.target = FindTopLevel(args.words[0], &args)))
                if (!WaitStep(&args))
                    return NotMet;
            if (command.lookup == Control && args.count > 1 &&
                !(args.target = WaitControl(args.window, int(args.number[1]), &args)))
                return NotMet;
        }
        return command.handler(&args);
    }
    Print(L"no command %ls", argv[0]);
    return BadUsage;
}

int main()
{
    std::string line;
    while (std::getline(std::cin, line)) {
        std::wstring wide = Widen(line) + L'\x1f';
        std::vector<wchar_t*> words;
        for (size_t at = 0, end; (end = wide.find(L'\x1f', at)) != wide.npos; at = end + 1) {
            wide[end] = 0;
            words.push_back(&wide[at]);
        }
        if (words.size() < 2)
            continue;
        words.push_back(nullptr);
        // A thread that cannot start leaves the code at BadUsage.
        DWORD code = BadUsage;
        Print(L"\x1e%ls begin", words[0]);
        HANDLE thread = CreateThread(nullptr, 0, Run, &words[1], 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        Print(L"\x1e%ls %lu", words[0], code);
    }
    return 0;
}

// Console program that finds, reads and presses the agent's windows from
// inside the same wine prefix; the end-to-end scripts start it once with
// --serve and send it their steps (serve_loop.cpp).
#include "driver.h"

#include <cwchar>

int ServeCommands();
Handler WaitWindow, WaitGone, ListWindows, Text, Style, Focus, WaitActive, ReadMessageBox, Press, SendOrPost, Flood,
    MutexExists, WindowRect, Region, TrayDelete, Key, Tooltips, WaitTip, GuiResources, WatchProcess, ExitCode, Modules,
    ListItems, SelectRow, Layered, WaitControlState, HoldDesktop, Sim, SimCount, Measure, MeasureMenu;

// What the dispatcher does before the handler runs: it parses the words
// that must be numbers (where given) and finds window words[0] and, with
// AndControl, its control words[1] (where given); a window not found within
// the time-out ends the command with NotMet.
enum { Number0 = 1, Number1 = 2, Number2 = 4, Number3 = 8 };
enum {
    NeedWindow = 16,
    AndControl = 32,
    OnlyShown = 64,
    OnlyBox = 128,
    NeedControl = NeedWindow | AndControl | Number1
};

struct Command {
    const wchar_t* name;
    int minimumWords;
    Handler* handler;
    int lookup;
};

// Words, and what each command prints:
static const Command Commands[] = {
    // <caption>: the hwnd
    {L"wait-window", 1, WaitWindow, NeedWindow},
    {L"wait-shown", 1, WaitWindow, NeedWindow | OnlyShown},
    {L"wait-gone", 1, WaitGone, 0},
    // hwnd pid visible class caption
    {L"list-windows", 0, ListWindows, 0},
    // <caption>: hwnd id visible class text
    {L"list-children", 1, ListWindows, NeedWindow},
    // <caption> [control-id]
    {L"text", 1, Text, NeedControl},
    {L"style", 1, Style, NeedControl},
    {L"exstyle", 1, Style, NeedControl},
    // <caption> [control-id]: id class text of the focus; waits for that id
    {L"focus", 1, Focus, NeedWindow | Number1},
    {L"wait-active", 1, WaitActive, 0},
    // <caption>: hwnd=, pid=, icon=, text= lines
    {L"msgbox", 1, ReadMessageBox, NeedWindow | OnlyBox},
    // <caption> <control-id> [--click]
    {L"press", 2, Press, NeedWindow | Number1},
    // <caption> <msg|name:N> [wparam] [lparam]; send prints the result
    {L"send", 2, SendOrPost, NeedWindow | Number2 | Number3},
    {L"post", 2, SendOrPost, NeedWindow | Number2 | Number3},
    // <caption> <first> <last> [skip]: how many sends went unanswered
    {L"flood", 3, Flood, NeedWindow | Number1 | Number2 | Number3},
    {L"mutex-exists", 1, MutexExists, 0},
    // <caption>: left top right bottom
    {L"window-rect", 1, WindowRect, NeedWindow},
    // <caption>: "none", or the region's box and rectangle count
    {L"region", 1, Region, NeedWindow},
    {L"tray-delete", 1, TrayDelete, NeedWindow},
    // <caption> <virtual-key>
    {L"key", 2, Key, NeedWindow | Number1},
    // [text]: every tool's text, or the rectangles of tools with that text
    {L"tooltips", 0, Tooltips, 0},
    // <text>: the tip's rectangle
    {L"wait-tip", 1, WaitTip, 0},
    // <pid>: gdi= user= handles= private=
    {L"gui-resources", 1, GuiResources, Number0},
    {L"watch-process", 1, WatchProcess, Number0},
    {L"exit-code", 0, ExitCode, 0},
    {L"modules", 1, Modules, Number0},
    // <caption> <control-id>: index image state text
    {L"list-items", 2, ListItems, NeedControl},
    // <caption> <control-id> <row> <on|off>
    {L"lv-select", 4, SelectRow, NeedControl | Number2},
    // <caption>: "layered <alpha>" or "opaque"
    {L"layered", 1, Layered, NeedWindow},
    // <caption> <control-id> <text>, or <on|off>
    {L"wait-text", 3, WaitControlState, Number1},
    {L"wait-enabled", 3, WaitControlState, Number1},
    {L"hold-desktop", 1, HoldDesktop, 0},
    // <command> [words]: the simulator's answer
    {L"sim", 1, Sim, 0},
    // <code> <minimum>
    {L"sim-count", 2, SimCount, Number1},
    // <caption>: controls whose text does not fit, and overlapping ones
    {L"measure", 1, Measure, NeedWindow},
    // <caption> <text items>: menu texts cut or run together
    {L"measure-menu", 2, MeasureMenu, NeedWindow | Number1},
};

static bool ParseArgs(const Command& command, int argc, wchar_t** argv, DriverArgs* args)
{
    *args = {};
    args->name = command.name;
    args->timeoutMs = 5000;
    args->messageBoxOnly = (command.lookup & OnlyBox) != 0;
    args->shownOnly = (command.lookup & OnlyShown) != 0;
    for (int i = 1; i < argc; ++i) {
        ULONGLONG number = 0;
        if (wcscmp(argv[i], L"--msgbox") == 0) {
            args->messageBoxOnly = true;
        } else if (wcscmp(argv[i], L"--click") == 0) {
            args->click = true;
        } else if (wcscmp(argv[i], L"--timeout") == 0) {
            if (++i >= argc || !ParseNumber(argv[i], &number))
                return false;
            args->timeoutMs = DWORD(number);
        } else if (wcscmp(argv[i], L"--desktop") == 0) {
            if (++i >= argc)
                return false;
            args->desktop = argv[i];
        } else if (args->count < 64) {
            args->words[args->count++] = argv[i];
        }
    }
    for (int i = 0; i < 4 && i < args->count; ++i)
        if ((command.lookup & (Number0 << i)) && !ParseNumber(args->words[i], &args->number[i]))
            return false;
    return args->count >= command.minimumWords;
}

static int Lookup(int lookup, DriverArgs* args)
{
    if (!(lookup & NeedWindow))
        return Met;
    while (!(args->window = args->target = FindTopLevel(args->words[0], args)))
        if (!WaitStep(args))
            return NotMet;
    if (!(lookup & AndControl) || args->count < 2)
        return Met;
    args->target = WaitControl(args->window, int(args->number[1]), args);
    return args->target ? Met : NotMet;
}

int RunCommandLine(int argc, wchar_t** argv)
{
    for (const Command& command : Commands) {
        if (wcscmp(command.name, argv[0]) != 0)
            continue;
        DriverArgs args;
        if (!ParseArgs(command, argc, argv, &args)) {
            PrintError(L"usage: %ls: see driver_main.cpp", argv[0]);
            return BadUsage;
        }
        args.start = GetTickCount();
        // Window enumeration sees only the calling thread's desktop. This
        // thread is the command's own (serve_loop.cpp), and a desktop that a
        // thread is on cannot be closed: its handle goes with the process.
        if (args.desktop) {
            HDESK desktop = WaitDesktop(&args, args.desktop);
            if (!desktop || !SetThreadDesktop(desktop)) {
                if (desktop)
                    CloseDesktop(desktop);
                PrintError(L"cannot move to desktop %ls", args.desktop);
                return NotMet;
            }
        }
        int found = Lookup(command.lookup, &args);
        return found == Met ? command.handler(&args) : found;
    }
    PrintError(L"unknown command %ls", argv[0]);
    return BadUsage;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && wcscmp(argv[1], L"--serve") == 0)
        return ServeCommands();
    PrintError(L"usage: AgentDriver --serve: one command a line on standard input");
    return BadUsage;
}

#include "commands.h"
#include "driver_output.h"
#include "serve_loop.h"

#include <cwchar>

struct CommandEntry {
    const wchar_t* name;
    int minimumWords;
    CommandHandler handler;
    const wchar_t* usage;
};

// One row per command; a new command is a handler and a row here.
static const CommandEntry Commands[] = {
    {L"wait-window", 1, WaitWindowCommand, L"wait-window <caption>: prints the hwnd"},
    {L"wait-gone", 1, WaitGoneCommand, L"wait-gone <caption>"},
    {L"list-windows", 0, ListWindowsCommand, L"list-windows: hwnd pid visible class caption"},
    {L"list-children", 1, ListChildrenCommand, L"list-children <caption>: hwnd id class text"},
    {L"text", 1, TextCommand, L"text <caption> [control-id]"},
    {L"style", 1, StyleCommand, L"style <caption> [control-id]: the window style in hex"},
    {L"exstyle", 1, ExStyleCommand, L"exstyle <caption> [control-id]: the extended style in hex"},
    {L"focus", 1, FocusCommand,
     L"focus <caption> [control-id]: id class text of the focused control; waits for that id"},
    {L"wait-active", 1, WaitActiveCommand, L"wait-active <caption>: until that window is in front"},
    {L"msgbox", 1, MessageBoxCommand, L"msgbox <caption>: hwnd, pid, icon and text"},
    {L"press", 2, PressCommand, L"press <caption> <control-id> [--click]"},
    {L"send", 2, SendCommand, L"send <caption> <msg|name:N> [wparam] [lparam]: prints the result"},
    {L"post", 2, PostCommand, L"post <caption> <msg|name:N> [wparam] [lparam]"},
    {L"flood", 3, FloodCommand, L"flood <caption> <first> <last> [skip]: posts and sends each message"},
    {L"mutex-exists", 1, MutexExistsCommand, L"mutex-exists <name>"},
    {L"window-rect", 1, WindowRectCommand, L"window-rect <caption>: left top right bottom"},
    {L"region", 1, RegionCommand, L"region <caption>: \"none\" or the window region's box and rectangle count"},
    {L"tray-delete", 1, TrayDeleteCommand, L"tray-delete <caption>: removes the window's tray icon"},
    {L"key", 2, KeyCommand, L"key <caption> <virtual-key>: posts key down and up"},
    {L"tooltips", 0, TooltipsCommand,
     L"tooltips [text]: every visible tool's text, or the screen rectangle of those with that text"},
    {L"wait-tip", 1, WaitTipCommand, L"wait-tip <text>: until a tooltip shows it; prints its rectangle"},
    {L"gui-resources", 1, GuiResourcesCommand, L"gui-resources <pid>: GDI and USER object counts"},
    {L"watch-process", 1, WatchProcessCommand, L"watch-process <pid>: keeps a handle for exit-code"},
    {L"exit-code", 0, ExitCodeCommand, L"exit-code: waits for the watched process to end; its exit code"},
    {L"list-items", 2, ListItemsCommand, L"list-items <caption> <control-id>: index image state text"},
    {L"lv-select", 4, ListViewSelectCommand, L"lv-select <caption> <control-id> <row> <on|off>"},
    {L"layered", 1, LayeredCommand, L"layered <caption>: \"layered <alpha>\" or \"opaque\""},
    {L"wait-text", 3, WaitTextCommand, L"wait-text <caption> <control-id> <text>: until the control shows it"},
    {L"wait-enabled", 3, WaitEnabledCommand, L"wait-enabled <caption> <control-id> <on|off>"},
    {L"wait-shown", 1, WaitShownCommand, L"wait-shown <caption>: until such a window is visible"},
    {L"hold-desktop", 1, HoldDesktopCommand, L"hold-desktop <desktop>: keeps it alive while the driver runs"},
    {L"sim", 1, SimCommand, L"sim <command> [words]: the simulator's control command"},
    {L"sim-count", 2, SimCountCommand, L"sim-count <code> <minimum>: until the simulator saw that many"},
    {L"measure", 1, MeasureCommand, L"measure <caption>: controls whose text does not fit, and overlapping ones"},
    {L"measure-menu", 2, MeasureMenuCommand, L"measure-menu <caption> <text items>: menu texts cut or run together"},
};

// Window enumeration sees only the calling thread's desktop, so a program
// run inside a virtual desktop is reached by moving onto that desktop first.
static int RunOnDesktop(CommandHandler handler, const DriverArgs* args)
{
    if (args->desktop == nullptr)
        return handler(args);
    // A desktop that is still being made by its explorer is waited for.
    DWORD start = GetTickCount();
    HDESK desktop = OpenDesktopW(args->desktop, 0, FALSE, GENERIC_ALL);
    while (desktop == nullptr && GetTickCount() - start < args->timeoutMs) {
        Sleep(100);
        desktop = OpenDesktopW(args->desktop, 0, FALSE, GENERIC_ALL);
    }
    if (desktop == nullptr) {
        PrintError(L"no desktop %ls", args->desktop);
        return ConditionNotMet;
    }
    int result = ConditionNotMet;
    if (SetThreadDesktop(desktop))
        result = handler(args);
    else
        PrintError(L"cannot move to desktop %ls", args->desktop);
    // The thread still belongs to the desktop, which closes with the process.
    return result;
}

// Runs one command line: the command name in argv[0].
int RunCommandLine(int argc, wchar_t** argv)
{
    for (const CommandEntry& entry : Commands) {
        if (wcscmp(entry.name, argv[0]) != 0)
            continue;
        DriverArgs args;
        if (!ParseDriverArgs(argc - 1, argv + 1, &args) || args.count < entry.minimumWords) {
            PrintError(L"usage: AgentDriver %ls", entry.usage);
            return UsageError;
        }
        return RunOnDesktop(entry.handler, &args);
    }
    PrintError(L"unknown command %ls", argv[0]);
    return UsageError;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && wcscmp(argv[1], L"--serve") == 0)
        return ServeCommands();
    PrintError(L"usage: AgentDriver --serve: one command a line on standard input (see serve_loop.cpp)");
    return UsageError;
}

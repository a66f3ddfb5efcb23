#pragma once

#include "driver_args.h"

// Exit codes of every command.
const int ConditionMet = 0;
const int ConditionNotMet = 1;
const int UsageError = 2;

typedef int (*CommandHandler)(const DriverArgs* args);

int WaitWindowCommand(const DriverArgs* args);
int WaitGoneCommand(const DriverArgs* args);
int ListWindowsCommand(const DriverArgs* args);
int ListChildrenCommand(const DriverArgs* args);
int TextCommand(const DriverArgs* args);
int StyleCommand(const DriverArgs* args);
int ExStyleCommand(const DriverArgs* args);
int FocusCommand(const DriverArgs* args);
int WaitActiveCommand(const DriverArgs* args);
int MessageBoxCommand(const DriverArgs* args);
int PressCommand(const DriverArgs* args);
int SendCommand(const DriverArgs* args);
int PostCommand(const DriverArgs* args);
int FloodCommand(const DriverArgs* args);
int MutexExistsCommand(const DriverArgs* args);
int WindowRectCommand(const DriverArgs* args);
int RegionCommand(const DriverArgs* args);
int TrayDeleteCommand(const DriverArgs* args);
int KeyCommand(const DriverArgs* args);
int TooltipsCommand(const DriverArgs* args);
int WaitTipCommand(const DriverArgs* args);
int GuiResourcesCommand(const DriverArgs* args);
int WatchProcessCommand(const DriverArgs* args);
int ExitCodeCommand(const DriverArgs* args);
int ListItemsCommand(const DriverArgs* args);
int ListViewSelectCommand(const DriverArgs* args);
int LayeredCommand(const DriverArgs* args);
int WaitTextCommand(const DriverArgs* args);
int WaitEnabledCommand(const DriverArgs* args);
int WaitShownCommand(const DriverArgs* args);
int HoldDesktopCommand(const DriverArgs* args);
int SimCommand(const DriverArgs* args);
int SimCountCommand(const DriverArgs* args);
int MeasureCommand(const DriverArgs* args);
int MeasureMenuCommand(const DriverArgs* args);

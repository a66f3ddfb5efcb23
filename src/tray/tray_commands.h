// The commands of the tray menu and the agent's enabled/disabled state.
#pragma once

#include <windows.h>

#include "core/text16.h"

extern bool StatsHiddenByDisable;
extern bool UnloadConfirming;
extern bool HelpOpening;

void ShowStatistics();
void ToggleDisableState(HWND owner);
void OpenHelp(HWND owner);
void AskToUnload(HWND owner);

// Runs a menu command; interface entries come with their name and id.
void RunTrayCommand(HWND owner, UINT command, const Text16* interfaceName, const Text16* interfaceId);

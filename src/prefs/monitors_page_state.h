// What the Monitor(s) page's window code shares between its files: the
// listed records, the selection, the busy marker and the control helpers.
#pragma once

#include <windows.h>

#include <cstddef>

#include "core/busy_guard.h"
#include "prefs/monitors_page_rules.h"

// One record per interface of the last refresh; the rows of the interface
// list point into it.
struct PageRecordsRecord {
    MonitorSettings* records;
    size_t count;
};

extern PageRecordsRecord PageRecords;
extern MonitorSelectionRecord MonitorSelection;
// The page's busy marker; the refresh thread's handle while a refresh runs.
extern BusyMarker PageBusy;

void EnableControl(HWND page, int id, bool enable);
void EnableEditButtons(HWND page);
// A string-table pattern filled in and marked; the pattern itself when the
// string is missing.
void SetLabel(HWND page, int id, UINT pattern, const Text16& value, bool marked);
// The same with a number: a percentage, or with `interval` a refresh rate.
void SetNumberLabel(HWND page, int id, UINT pattern, uint32_t value, bool interval, bool marked);
// String `id` with the "*" of an unapplied change when `marked`, into a
// buffer of the caller's (no allocation).
const size_t MarkedStringCapacity = 258;
void MarkedString(UINT id, bool marked, wchar_t text[MarkedStringCapacity]);
// A group box's caption: string `string`, marked when `marked`.
void SetGroupTitle(HWND page, int id, UINT string, bool marked);
void DisableMonitorsPage(HWND page, bool clear);
void LoadPageFromSelection(HWND page);

// Refresh of the interface list on a thread of its own (monitors_page_refresh.cpp).
bool StartInterfaceChoiceRefresh(HWND page);
// When the page goes: waits for the last refresh (at an unload within its
// budget).
void JoinInterfaceChoiceRefresh();

// The extended parameters' list (monitors_page_flags.cpp).
void FillFlagList(HWND page);
void ToggleFlagRow(HWND page, int row);
// NM_CLICK: the row under the cursor toggles when the click was on its
// picture.
void OnFlagClick(HWND page);
// Each flag's TriState as its row shows it; mixed for a row not read.
void ReadFlagImages(HWND page, uint8_t (&images)[MonitorFlagCount]);

// Colour combo and dialog (monitors_page_colors.cpp).
void FillColorCombo(HWND page);
void ChooseMonitorColor(HWND page);
void DrawColorEntry(const DRAWITEMSTRUCT* item);
void RepaintColorCombo(HWND page);

// What the Monitor(s) page shows for a set of selected monitors and what
// its Apply writes into each of them. The page edits several monitors at
// once, so every value it shows is what they have in common.
#pragma once

#include <cstdint>

#include "core/text16.h"
#include "monitor/monitor_settings.h"

// Image index of a flag row: every selected monitor has the flag, none has
// it, or some have it.
enum TriState : uint8_t { TriOn = 0, TriOff = 1, TriMixed = 2 };

// The selected monitors, chained through their next field (most recently
// selected first), with the sums and counts the page shows and its edits.
struct MonitorSelectionRecord {
    MonitorSettings* chain;
    uint32_t SelectedCount;
    // Sums of the stored values, wide enough that values the
    // user stored out of the page's range cannot wrap them.
    uint64_t TransparencySum, RefreshRateSum;
    uint32_t FlagCount[MonitorFlagCount];
    uint8_t FlagModified[MonitorFlagCount];
    uint32_t EditColors[MonitorColorCount];
    uint8_t ColorModified[MonitorColorCount];
    uint8_t TransparencyModified, RefreshRateModified;
};

void ClearSelection(MonitorSelectionRecord* selection);
// Both throw away every unapplied edit; with exactly one monitor left its
// colours become the ones being edited.
void AddToSelection(MonitorSelectionRecord* selection, MonitorSettings* record);
void RemoveFromSelection(MonitorSelectionRecord* selection, MonitorSettings* record);

// Averages over the selection; 0 when nothing is selected.
uint32_t SelectionTransparency(const MonitorSelectionRecord& selection);
uint32_t SelectionRefreshRate(const MonitorSelectionRecord& selection);
uint32_t LimitRefreshRate(uint32_t milliseconds);

TriState FlagTriState(const MonitorSelectionRecord& selection, int flag);
// A flag the monitors agree on cycles on, off, on; one they differ on
// cycles mixed, on, off, mixed.
TriState NextFlagImage(const MonitorSelectionRecord& selection, int flag, TriState now);

// Whether a colour slot shows (and starts the colour dialog from) a real
// colour rather than "differs between the monitors".
bool SlotHasColor(const MonitorSelectionRecord& selection, int slot);
uint32_t InitialDialogColor(const MonitorSelectionRecord& selection, int slot);
// Black counts as chosen even when it was already shown: a cross-marked
// slot also starts the dialog at black.
bool ColorChoiceIsChange(uint32_t initial, uint32_t chosen);

// "0 sec", "%d msec" below a second, else whole seconds.
Text16 FormatInterval(uint32_t milliseconds);
// A string-table pattern with its one "%d" or "%s" filled in ("%%" gives
// "%"), then "*" when the item is changed and not yet applied.
Text16 FillLabel(const Char16* pattern, const Text16& value, bool marked);
Text16 DecimalText(uint32_t value);

// What "&Apply" takes from the page for every selected monitor.
struct MonitorChanges {
    uint8_t flagImage[MonitorFlagCount];  // TriState of each row; mixed keeps
    uint8_t transparencyModified, refreshRateModified;
    uint32_t transparency, refreshRate;
    uint32_t editColors[MonitorColorCount];
    uint8_t colorModified[MonitorColorCount];
};

void ApplyChangesToRecord(const MonitorChanges& changes, MonitorSettings* record);

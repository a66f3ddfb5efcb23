#include "prefs/monitors_page_rules.h"

#include <cstring>

void ClearSelection(MonitorSelectionRecord* selection)
{
    std::memset(selection, 0, sizeof *selection);
}

static void ForgetEdits(MonitorSelectionRecord* selection)
{
    std::memset(selection->FlagModified, 0, sizeof selection->FlagModified);
    std::memset(selection->ColorModified, 0, sizeof selection->ColorModified);
    std::memset(selection->EditColors, 0, sizeof selection->EditColors);
    if (selection->SelectedCount == 1 && selection->chain)
        std::memcpy(selection->EditColors, selection->chain->colors, sizeof selection->EditColors);
}

void AddToSelection(MonitorSelectionRecord* selection, MonitorSettings* record)
{
    record->next = selection->chain;
    selection->chain = record;
    selection->SelectedCount++;
    selection->TransparencySum += record->transparentLevel;
    selection->RefreshRateSum += record->refreshRate;
    for (int i = 0; i < MonitorFlagCount; i++)
        if (record->flags[i])
            selection->FlagCount[i]++;
    ForgetEdits(selection);
}

static uint32_t Less(uint32_t from, uint32_t amount)
{
    return from > amount ? from - amount : 0;
}

static uint64_t Less(uint64_t from, uint64_t amount)
{
    return from > amount ? from - amount : 0;
}

void RemoveFromSelection(MonitorSelectionRecord* selection, MonitorSettings* record)
{
    MonitorSettings** link = &selection->chain;
    while (*link && *link != record)
        link = &(*link)->next;
    if (!*link)
        return;
    *link = record->next;
    record->next = nullptr;
    selection->SelectedCount = Less(selection->SelectedCount, 1);
    selection->TransparencySum = Less(selection->TransparencySum, uint64_t(record->transparentLevel));
    selection->RefreshRateSum = Less(selection->RefreshRateSum, uint64_t(record->refreshRate));
    for (int i = 0; i < MonitorFlagCount; i++)
        if (record->flags[i])
            selection->FlagCount[i] = Less(selection->FlagCount[i], 1);
    ForgetEdits(selection);
}

uint32_t SelectionTransparency(const MonitorSelectionRecord& selection)
{
    if (selection.SelectedCount == 0)
        return 0;
    const uint64_t level = selection.TransparencySum / selection.SelectedCount;
    return level > MaxTransparentLevel ? MaxTransparentLevel : uint32_t(level);
}

uint32_t LimitRefreshRate(uint32_t milliseconds)
{
    if (milliseconds < MinRefreshRate)
        return MinRefreshRate;
    return milliseconds > MaxRefreshRate ? MaxRefreshRate : milliseconds;
}

uint32_t SelectionRefreshRate(const MonitorSelectionRecord& selection)
{
    if (selection.SelectedCount == 0)
        return 0;
    const uint64_t rate = selection.RefreshRateSum / selection.SelectedCount;
    return LimitRefreshRate(rate > MaxRefreshRate ? MaxRefreshRate : uint32_t(rate));
}

TriState FlagTriState(const MonitorSelectionRecord& selection, int flag)
{
    uint32_t count = selection.FlagCount[flag];
    if (selection.SelectedCount > 0 && count == selection.SelectedCount)
        return TriOn;
    if (count > 0 && count < selection.SelectedCount)
        return TriMixed;
    return TriOff;
}

TriState NextFlagImage(const MonitorSelectionRecord& selection, int flag, TriState now)
{
    switch (now) {
    case TriOn:
        return TriOff;
    case TriMixed:
        return TriOn;
    default: {
        uint32_t count = selection.FlagCount[flag];
        return count > 0 && count < selection.SelectedCount ? TriMixed : TriOn;
    }
    }
}

bool SlotHasColor(const MonitorSelectionRecord& selection, int slot)
{
    return slot >= 0 && slot < MonitorColorCount && (selection.SelectedCount == 1 || selection.ColorModified[slot]);
}

uint32_t InitialDialogColor(const MonitorSelectionRecord& selection, int slot)
{
    return SlotHasColor(selection, slot) ? selection.EditColors[slot] : 0;
}

bool ColorChoiceIsChange(uint32_t initial, uint32_t chosen)
{
    return chosen != initial || chosen == 0;
}

Text16 DecimalText(uint32_t value)
{
    Char16 digits[12];
    int n = 0;
    do {
        digits[n++] = Char16('0' + value % 10);
        value /= 10;
    } while (value);
    Text16 text;
    while (n)
        text += digits[--n];
    return text;
}

Text16 FormatInterval(uint32_t milliseconds)
{
    if (milliseconds == 0)
        return TEXT16("0 sec");
    if (milliseconds < 1000)
        return DecimalText(milliseconds) + TEXT16(" msec");
    return DecimalText(milliseconds / 1000) + TEXT16(" sec");
}

Text16 FillLabel(const Char16* pattern, const Text16& value, bool marked)
{
    Text16 label;
    bool filled = false;
    for (const Char16* p = pattern; *p; p++) {
        if (*p != '%') {
            label += *p;
            continue;
        }
        Char16 kind = p[1];
        if (kind == '%') {
            label += Char16('%');
            p++;
        } else if ((kind == 'd' || kind == 's') && !filled) {
            label += value;
            filled = true;
            p++;
        } else {
            label += *p;
        }
    }
    if (marked)
        label += Char16('*');
    return label;
}

void ApplyChangesToRecord(const MonitorChanges& changes, MonitorSettings* record)
{
    for (int i = 0; i < MonitorFlagCount; i++) {
        if (changes.flagImage[i] == TriOn)
            record->flags[i] = 1;
        else if (changes.flagImage[i] == TriOff)
            record->flags[i] = 0;
    }
    record->next = nullptr;
    if (changes.transparencyModified)
        record->transparentLevel = changes.transparency;
    if (changes.refreshRateModified)
        record->refreshRate = changes.refreshRate;
    for (int i = 0; i < MonitorColorCount; i++)
        if (changes.colorModified[i])
            record->colors[i] = changes.editColors[i];
}

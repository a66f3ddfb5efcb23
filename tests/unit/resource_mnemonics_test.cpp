// No two controls of one dialog, and no two items of one menu level, may
// share a keyboard letter: the second could never be reached by its letter.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "resource_script.h"
#include "tray/menu_mnemonics.h"

namespace {

// An item whose text the program replaces at run time from the string table.
struct RuntimeText {
    const char* group;
    const char* itemId;
    std::vector<const char*> stringIds;
};

// Pages that live inside another dialog share its keyboard letters.
struct HostedPages {
    const char* host;
    std::vector<const char*> pages;
};

struct Layout {
    std::vector<RuntimeText> runtimeTexts;
    std::vector<HostedPages> hosts;
};

const Layout AgentLayout = {
    {{"IDM_TRAY/Tray", "IDM_ENABLE_DISABLE", {"IDS_ENABLE_AGENT", "IDS_DISABLE_AGENT"}}},
    {{"IDD_MAIN", {"IDD_GENERAL_PAGE", "IDD_INTERFACES_PAGE", "IDD_MONITORS_PAGE", "IDD_MOVEMENTS_PAGE"}}},
};

Char16 KeyOf(const std::string& text)
{
    std::u16string wide(text.begin(), text.end());
    return MnemonicKeyOf(wide.c_str());
}

void CheckItems(const std::string& name, const std::vector<ScriptItem>& items, std::set<std::string>* findings)
{
    for (size_t i = 0; i < items.size(); ++i)
        for (size_t j = i + 1; j < items.size(); ++j) {
            Char16 key = KeyOf(items[i].text);
            if (key != 0 && key == KeyOf(items[j].text))
                findings->insert(name + ": '" + char(key) + "' on \"" + items[i].text + "\" and \"" + items[j].text +
                                 "\"");
        }
}

// Each item's run-time texts take its place one at a time.
void CheckWithRuntimeTexts(const ResourceScript& script, const Layout& layout, const std::string& name,
                           const std::vector<ScriptItem>& items, std::set<std::string>* findings)
{
    CheckItems(name, items, findings);
    for (const RuntimeText& runtime : layout.runtimeTexts) {
        if (name != runtime.group)
            continue;
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].id != runtime.itemId)
                continue;
            for (const char* stringId : runtime.stringIds) {
                auto text = script.strings.find(stringId);
                if (text == script.strings.end()) {
                    findings->insert(name + ": string " + stringId + " is missing");
                    continue;
                }
                std::vector<ScriptItem> variant = items;
                variant[i].text = text->second;
                CheckItems(name, variant, findings);
            }
        }
    }
}

std::set<std::string> DuplicateMnemonics(const ResourceScript& script, const Layout& layout)
{
    std::set<std::string> findings, hosted;
    for (const HostedPages& host : layout.hosts) {
        const ScriptGroup* outer = FindScriptGroup(script, host.host);
        for (const char* page : host.pages) {
            const ScriptGroup* inner = FindScriptGroup(script, page);
            if (!outer || !inner) {
                findings.insert(std::string(host.host) + " or " + page + " is missing");
                continue;
            }
            std::vector<ScriptItem> items = outer->items;
            items.insert(items.end(), inner->items.begin(), inner->items.end());
            CheckWithRuntimeTexts(script, layout, std::string(host.host) + " with " + page, items, &findings);
            hosted.insert(page);
        }
        hosted.insert(host.host);
    }
    for (const ScriptGroup& group : script.groups)
        if (hosted.count(group.name) == 0)
            CheckWithRuntimeTexts(script, layout, group.name, group.items, &findings);
    return findings;
}

TEST(ResourceMnemonics, CatchesLettersSharedWithinOneDialogOrMenuLevel)
{
    const char* text = R"(
HOST DIALOGEX 0, 0, 10, 10
CAPTION "&Caption marks nothing"
BEGIN
  PUSHBUTTON "&Close", 70, 1, 1, 1, 1
END
PAGE DIALOGEX 0, 0, 10, 10
BEGIN
  PUSHBUTTON "&Copy", 71, 1, 1, 1, 1   // shares C with the host's button
  LTEXT "Fish && &chips", 72, 1, 1, 1, 1, SS_NOPREFIX
  GROUPBOX "Salt && vinegar", -1, 1, 1, 1, 1
END
LONE DIALOG 0, 0, 10, 10
BEGIN
  LTEXT "&Name:", -1, 1, 1, 1, 1
  EDITTEXT 80, 1, 1, 1, 1
  DEFPUSHBUTTON "&OK", 1, 1, 1, 1, 1
  PUSHBUTTON "Ope&n", 81, 1, 1, 1, 1
END
M MENU
BEGIN
  POPUP "Top"
  BEGIN
    MENUITEM "&Open", 10
    MENUITEM "&Run", 11
    POPUP "&Recent"
    BEGIN
      MENUITEM "&One", 12
      MENUITEM "&Two", 13
    END
    MENUITEM SEPARATOR
    MENUITEM "&Go", 14
  END
END
STRINGTABLE
BEGIN
  S_FIRST "G&o on"
  S_TWO "&Two ""quoted"""
END
)";
    ResourceScript script;
    ParseResourceScript(text, "", &script);
    EXPECT_EQ(script.strings["S_TWO"], "&Two \"quoted\"");
    const Layout layout = {{{"M/Top", "14", {"S_FIRST", "S_TWO"}}}, {{"HOST", {"PAGE"}}}};
    const std::set<std::string> expected = {
        "HOST with PAGE: 'C' on \"&Close\" and \"&Copy\"",
        "LONE: 'N' on \"&Name:\" and \"Ope&n\"",
        "M/Top: 'R' on \"&Run\" and \"&Recent\"",
        "M/Top: 'O' on \"&Open\" and \"G&o on\"",
    };
    EXPECT_EQ(DuplicateMnemonics(script, layout), expected);
}

TEST(ResourceMnemonics, AgentResourcesShareNoLetter)
{
    ResourceScript script;
    ASSERT_TRUE(ReadResourceScript(ZORVANH_RESOURCE_DIR, "agent.rc", &script));
    // Blocks from the included scripts are read too, and the menus' levels.
    for (const char* name : {"IDD_MAIN", "IDD_STATISTICS", "IDD_CLEAR_OVERALL", "IDD_MONITORS_PAGE",
                             "IDD_INTERFACES_PAGE", "IDD_MOVEMENTS_PAGE", "IDD_DATA_FILES_PROGRESS", "IDM_TRAY/Tray",
                             "IDM_TRAY/Tray/&Monitors", "IDM_MONITOR/Monitor/&Clear diagram"})
        EXPECT_NE(FindScriptGroup(script, name), nullptr) << name;
    for (const std::string& finding : DuplicateMnemonics(script, AgentLayout))
        ADD_FAILURE() << finding;
}

}  // namespace

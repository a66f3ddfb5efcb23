// No two controls of one dialog, and no two items of one menu level, may
// share a keyboard letter: the second could never be reached by its letter.
// The scripts are read in the one-statement-per-line form they are written
// in, not as the whole resource language.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "tray/menu_mnemonics.h"

namespace {

struct Item {
    std::string id, text;  // the id as written: a symbol, a number or -1
};

struct Script {
    std::map<std::string, std::vector<Item>> groups;  // dialogs, and menu levels named "MENU/Popup/..."
    std::map<std::string, std::string> strings;
};

// Words and quoted strings ("" inside one is a quote); a // comment ends the line.
std::vector<std::pair<bool, std::string>> Tokens(const std::string& line)
{
    std::vector<std::pair<bool, std::string>> tokens;
    for (size_t i = 0; i < line.size();) {
        if (strchr(" \t,\r", line[i])) {
            ++i;
        } else if (line.compare(i, 2, "//") == 0) {
            break;
        } else if (line[i] == '"') {
            std::string text;
            for (++i; i < line.size() && (line[i] != '"' || line.compare(i, 2, "\"\"") == 0); ++i)
                text += line[i] == '"' ? line[++i] : line[i];
            tokens.push_back({true, text});
            ++i;
        } else {
            size_t start = i;
            while (i < line.size() && !strchr(" \t,\r\"", line[i]))
                ++i;
            tokens.push_back({false, line.substr(start, i - start)});
        }
    }
    return tokens;
}

bool Read(const std::string& folder, const std::string& name, Script* script);

// With a folder, `#include "name.rc"` lines are read where they stand.
void Parse(const std::string& text, const std::string& folder, Script* script)
{
    enum { None, Dialog, Menu, Strings } block = None;
    bool open = false;  // past the dialog's or string table's BEGIN
    std::string line, dialog, popup;
    std::vector<std::string> levels;  // open menu levels, innermost last
    for (std::istringstream lines(text); std::getline(lines, line);) {
        const auto t = Tokens(line);
        if (t.empty())
            continue;
        const std::string& w = t[0].second;
        const bool quoted = t.size() > 1 && t[1].first, begin = !t[0].first && (w == "BEGIN" || w == "{");
        const std::string second = t.size() > 1 ? t[1].second : "";
        if (block == None) {
            if (w == "#include" && quoted && !folder.empty() && second.size() > 3 &&
                second.compare(second.size() - 3, 3, ".rc") == 0)
                Read(folder, second, script);
            else if (w == "STRINGTABLE")
                block = Strings, open = false;
            else if (second == "DIALOG" || second == "DIALOGEX")
                block = Dialog, open = false, dialog = w, script->groups[w];
            else if (second == "MENU" || second == "MENUEX")
                block = Menu, popup = w;
        } else if (block != Menu && !open) {
            open = begin;
        } else if (block == Menu && begin) {
            levels.push_back(levels.empty() ? popup : levels.back() + "/" + popup);
            script->groups[levels.back()];
        } else if (!t[0].first && (w == "END" || w == "}")) {
            if (block == Menu)
                levels.pop_back();
            if (block != Menu || levels.empty())
                block = None;
        } else if (block == Strings && quoted) {
            script->strings[w] = second;
        } else if (block == Dialog && quoted && t.size() > 2 && w != "ICON" && w != "EDITTEXT" &&
                   line.find("SS_NOPREFIX") == std::string::npos) {
            script->groups[dialog].push_back({t[2].second, second});  // only labels that show a prefix
        } else if (block == Menu && quoted && !levels.empty()) {
            if (w == "POPUP")
                script->groups[levels.back()].push_back({"POPUP", popup = second});
            else if (w == "MENUITEM" && t.size() > 2)
                script->groups[levels.back()].push_back({t[2].second, second});
        }
    }
}

bool Read(const std::string& folder, const std::string& name, Script* script)
{
    std::ifstream file(folder + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    Parse(text.str(), folder, script);
    return bool(file);
}

struct Layout {
    // A menu level's item whose text the program replaces at run time.
    std::map<std::string, std::pair<std::string, std::vector<std::string>>> runtimeTexts;
    // Pages that live inside another dialog share its letters.
    std::map<std::string, std::vector<std::string>> hosts;
};

Char16 KeyOf(const std::string& text)
{
    return MnemonicKeyOf(std::u16string(text.begin(), text.end()).c_str());
}

std::set<std::string> DuplicateMnemonics(const Script& script, const Layout& layout)
{
    std::set<std::string> findings;
    std::map<std::string, std::vector<Item>> groups = script.groups;
    for (const auto& host : layout.hosts) {
        for (const std::string& page : host.second) {
            if (!script.groups.count(host.first) || !script.groups.count(page)) {
                findings.insert(host.first + " or " + page + " is missing");
                continue;
            }
            std::vector<Item> items = script.groups.at(host.first), inner = script.groups.at(page);
            items.insert(items.end(), inner.begin(), inner.end());
            groups[host.first + " with " + page] = items;
            groups.erase(page);
        }
        groups.erase(host.first);
    }
    for (const auto& group : groups) {
        std::vector<std::vector<Item>> variants = {group.second};
        auto runtime = layout.runtimeTexts.find(group.first);
        for (size_t i = 0; runtime != layout.runtimeTexts.end() && i < group.second.size(); ++i)
            for (const std::string& stringId : runtime->second.second) {
                if (group.second[i].id != runtime->second.first)
                    continue;
                if (!script.strings.count(stringId))
                    findings.insert(group.first + ": string " + stringId + " is missing");
                variants.push_back(group.second);
                variants.back()[i].text = script.strings.count(stringId) ? script.strings.at(stringId) : "";
            }
        for (const std::vector<Item>& items : variants)
            for (size_t i = 0; i < items.size(); ++i)
                for (size_t j = i + 1; j < items.size(); ++j)
                    if (KeyOf(items[i].text) != 0 && KeyOf(items[i].text) == KeyOf(items[j].text))
                        findings.insert(group.first + ": '" + char(KeyOf(items[i].text)) + "' on \"" + items[i].text +
                                        "\" and \"" + items[j].text + "\"");
    }
    return findings;
}

TEST(ResourceMnemonics, CatchesLettersSharedWithinOneDialogOrMenuLevel)
{
    Script script;
    Parse(R"(
HOST DIALOGEX 0, 0, 10, 10
CAPTION "&Caption marks nothing"
BEGIN
  PUSHBUTTON "&Close", 70, 1, 1, 1, 1
END
PAGE DIALOGEX 0, 0, 10, 10
BEGIN
  PUSHBUTTON "&Copy", 71, 1, 1, 1, 1   // shares C with the host's button
  LTEXT "Fish && &chips", 72, 1, 1, 1, 1, SS_NOPREFIX
END
LONE DIALOG 0, 0, 10, 10
BEGIN
  LTEXT "&Name:", -1, 1, 1, 1, 1
  EDITTEXT 80, 1, 1, 1, 1
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
)",
          "", &script);
    EXPECT_EQ(script.strings["S_TWO"], "&Two \"quoted\"");
    const std::set<std::string> expected = {
        "HOST with PAGE: 'C' on \"&Close\" and \"&Copy\"",
        "LONE: 'N' on \"&Name:\" and \"Ope&n\"",
        "M/Top: 'R' on \"&Run\" and \"&Recent\"",
        "M/Top: 'O' on \"&Open\" and \"G&o on\"",
    };
    EXPECT_EQ(DuplicateMnemonics(script, {{{"M/Top", {"14", {"S_FIRST", "S_TWO"}}}}, {{"HOST", {"PAGE"}}}}), expected);
}

TEST(ResourceMnemonics, AgentResourcesShareNoLetter)
{
    Script script;
    ASSERT_TRUE(Read(ZORVANH_RESOURCE_DIR, "agent.rc", &script));
    // Blocks from the included scripts are read too, and the menus' levels.
    for (const char* name : {"IDD_MAIN", "IDD_STATISTICS", "IDD_CLEAR_OVERALL", "IDD_MONITORS_PAGE",
                             "IDD_INTERFACES_PAGE", "IDD_MOVEMENTS_PAGE", "IDD_DATA_FILES_PROGRESS", "IDM_TRAY/Tray",
                             "IDM_TRAY/Tray/&Monitors", "IDM_MONITOR/Monitor/&Clear diagram"})
        EXPECT_EQ(script.groups.count(name), 1u) << name;
    const Layout agent = {
        {{"IDM_TRAY/Tray", {"IDM_ENABLE_DISABLE", {"IDS_ENABLE_AGENT", "IDS_DISABLE_AGENT"}}}},
        {{"IDD_MAIN", {"IDD_GENERAL_PAGE", "IDD_INTERFACES_PAGE", "IDD_MONITORS_PAGE", "IDD_MOVEMENTS_PAGE"}}},
    };
    for (const std::string& finding : DuplicateMnemonics(script, agent))
        ADD_FAILURE() << finding;
}

}  // namespace

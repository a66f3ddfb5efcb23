// Keyboard letters of menus and dialogs. No two controls of one dialog, and
// no two items of one menu level, may share a keyboard letter: the second
// could never be reached by its letter.
// The scripts are read in the one-statement-per-line form they are written
// in, not as the whole resource language.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "tray/menu_mnemonics.h"

namespace {

using Groups = std::map<std::string, std::vector<std::string>>;

// Dialogs by name, menu levels as "MENU/Popup/...", and the string table
// under "". `#include "name.rc"` lines are read where they stand.
void Read(const std::string& file, Groups* groups)
{
    static const std::regex quoted(R"re("((?:[^"]|"")*)")re");
    std::ifstream in(std::string(ZORVANH_RESOURCE_DIR) + "/" + file);
    ASSERT_TRUE(in) << file;
    std::string line, group, popup;
    // Open blocks, innermost last.
    std::vector<std::string> levels;
    bool menu = false;
    while (std::getline(in, line)) {
        std::string first, second;
        std::istringstream(line) >> first >> second;
        std::smatch m;
        if (first.compare(0, 2, "//") == 0)
            continue;
        const bool text = std::regex_search(line, m, quoted);
        if (first == "BEGIN")
            levels.push_back(menu && !levels.empty() ? levels.back() + "/" + popup : group), (*groups)[levels.back()];
        else if (first == "END")
            levels.pop_back();
        else if (levels.empty() && first == "#include" && text &&
                 std::regex_match(m[1].str(), std::regex(R"(\w+\.rc)")))
            Read(m[1], groups);
        else if (levels.empty() &&
                 (second == "DIALOG" || second == "DIALOGEX" || second == "MENU" || first == "STRINGTABLE"))
            group = first == "STRINGTABLE" ? "" : first, menu = second == "MENU";
        else if (!levels.empty() && text) {
            (*groups)[levels.back()].push_back(std::regex_replace(m[1].str(), std::regex("\"\""), "\""));
            if (first == "POPUP")
                popup = m[1];
        }
    }
}

Char16 KeyOf(const std::string& text)
{
    return MnemonicKeyOf(std::u16string(text.begin(), text.end()).c_str());
}

// Each page shows inside the main dialog and shares its letters. The tray
// menu's switch shows one of two texts at run time: the tray tests choose
// both by their letters.
TEST(Mnemonics, AgentResourcesShareNoLetter)
{
    Groups groups;
    Read("agent.rc", &groups);
    for (const char* page : {"IDD_GENERAL_PAGE", "IDD_INTERFACES_PAGE", "IDD_MONITORS_PAGE", "IDD_MOVEMENTS_PAGE"}) {
        ASSERT_EQ(groups.count(page), 1u) << page;
        groups[page].insert(groups[page].end(), groups["IDD_MAIN"].begin(), groups["IDD_MAIN"].end());
    }
    groups.erase("");
    ASSERT_EQ(groups.count("IDM_TRAY/Tray/&Monitors"), 1u);
    for (const auto& group : groups)
        for (size_t i = 0; i < group.second.size(); ++i)
            for (size_t j = i + 1; j < group.second.size(); ++j)
                EXPECT_TRUE(KeyOf(group.second[i]) == 0 || KeyOf(group.second[i]) != KeyOf(group.second[j]))
                    << group.first << ": \"" << group.second[i] << "\" and \"" << group.second[j] << "\"";
}

// The letter follows the first lone ampersand; "&&" shows an ampersand,
// marks nothing and hides no letter after it. A key of 0 must not choose an
// item that has no letter at all.
TEST(Mnemonics, KeysMatchesAndNames)
{
    const std::pair<const Char16*, Char16> keys[] = {{u"&Statistics...", u'S'},
                                                     {u"Send && receive", 0},
                                                     {u"Send && &receive", u'R'},
                                                     {u"Dangling &", 0},
                                                     {nullptr, 0}};
    for (const auto& k : keys)
        EXPECT_EQ(MnemonicKeyOf(k.first), k.second) << k.second;
    // Matches are the tray tests' to choose end to end.
    EXPECT_TRUE(MnemonicMatches(u"U&nbind", u'N'));
    EXPECT_FALSE(MnemonicMatches(u"U&nbind", u'u') || MnemonicMatches(u"Local", 0) || MnemonicMatches(u"Local", u'L'));
    // A name keeps its ampersands, marks no letter, and is never cut in half
    // of a doubled '&'.
    Char16 text[8];
    MenuTextOfName(u"R&D &Lab", text, 8);
    EXPECT_EQ(Text16(text), u"R&&D &&");
    MenuTextOfName(u"R&D &Lab", text, 7);
    EXPECT_EQ(Text16(text), u"R&&D ");
}

}  // namespace

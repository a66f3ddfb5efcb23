// Start-up checks and the small text rules the agent's windows share.
#include <gtest/gtest.h>

#include "core/startup_checks.h"
#include "core/text16.h"
#include "tray/help_control_path.h"

// The administrators alias counts anywhere in an enabled group; a deny-only
// administrators group (filtered token) is not enabled.
TEST(StartupChecks, WindowsVersionAdministratorsAndAgentFolder)
{
    EXPECT_TRUE(IsSupportedWindows(2, 5) && !IsSupportedWindows(2, 4) && !IsSupportedWindows(1, 5));
    const uint32_t Enabled = 4, UsedForDeny = 16, admins[] = {32, 544, 1000}, serverOps[] = {32, 549},
                   users[] = {32, 545};
    TokenGroupView granted[] = {{Enabled, users, 2}, {Enabled, admins, 3}, {Enabled, serverOps, 2}},
                   denied[] = {{UsedForDeny, admins, 3}, {Enabled, users, 2}};
    EXPECT_TRUE(GroupsGrantAdmin(granted, 2) && GroupsGrantAdmin(granted + 2, 1));
    EXPECT_FALSE(GroupsGrantAdmin(denied, 2) || GroupsGrantAdmin(nullptr, 0));
    // The folder value must be a string long enough to hold a path.
    EXPECT_TRUE(AcceptAgentDirectoryValue(true, 1, 8));
    EXPECT_FALSE(AcceptAgentDirectoryValue(true, 1, 6) || AcceptAgentDirectoryValue(true, 2, 40));
    Char16 path[] = u"C:\\Program Files\\Merovax\\ZorvanHAgent.exe", bare[] = u"agent.exe";
    KeepFolderOfPath(path);
    KeepFolderOfPath(bare);
    EXPECT_EQ(Text16(path) + bare, u"C:\\Program Files\\Merovax\\agent.exe");
}

// Interface names: only ASCII letters ignore case (the statistics view tests),
// their neighbours stay apart.
// A bare help control name must never reach the loader, which would try the
// agent's folder before the system's.
TEST(TextRules, NamesHelpPathAndFormatWithText)
{
    EXPECT_FALSE(SameInterfaceName(Text16(u"[an"), Text16(u"{AN")));
    const Text16 system = u"C:\\WINNT\\system32";
    EXPECT_EQ(HelpControlPath(u"D:\\Help\\hhctrl.ocx", system), u"D:\\Help\\hhctrl.ocx");
    EXPECT_EQ(HelpControlPath(u"hhctrl.ocx", system), u"C:\\WINNT\\system32\\hhctrl.ocx");
    EXPECT_EQ(HelpControlPath(u"hhctrl.ocx", u"C:\\"), u"C:\\hhctrl.ocx");
    EXPECT_TRUE(HelpControlPath(u"hhctrl.ocx", Text16()).empty() && HelpControlPath(Text16(), system).empty());

    // Only the first %s is filled, whatever the runtime reads it as in a
    // wide format; what does not fit is cut.
    const std::tuple<size_t, const Char16*, const Char16*, const Char16*, bool> rows[] = {
        {64, u"%s: 100%% %s %d", u"a.chm", u"a.chm: 100% %s %d", true},
        {8, u"File: %s!", u"abcdef", u"File: a", false},
        {8, u"%s", u"1234567", u"1234567", true}};
    for (const auto& r : rows) {
        Char16 text[600];
        EXPECT_EQ(FormatWithText(text, std::get<0>(r), std::get<1>(r), std::get<2>(r)), std::get<4>(r));
        EXPECT_EQ(Text16(text), std::get<3>(r));
    }
    EXPECT_FALSE(FormatWithText(nullptr, 0, u"x", nullptr));
}

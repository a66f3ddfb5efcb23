#include <gtest/gtest.h>

#include "core/startup_checks.h"
#include "core/text16.h"

namespace {

TEST(StartupChecks, OnlyNtFiveAndLaterRuns)
{
    EXPECT_TRUE(IsSupportedWindows(2, 5));
    EXPECT_TRUE(IsSupportedWindows(2, 10));
    EXPECT_FALSE(IsSupportedWindows(2, 4));
    EXPECT_FALSE(IsSupportedWindows(1, 5));  // the 9x line
}

TEST(StartupChecks, AdminAliasCountsAnywhereInAnEnabledGroup)
{
    const uint32_t Enabled = 4, UsedForDeny = 16;
    const uint32_t admins[] = {32, 544};
    const uint32_t adminsNotLast[] = {32, 544, 1000};
    const uint32_t serverOps[] = {32, 549};
    const uint32_t users[] = {32, 545};
    TokenGroupView g1[] = {{Enabled, users, 2}, {Enabled, admins, 2}};
    EXPECT_TRUE(GroupsGrantAdmin(g1, 2));
    TokenGroupView g2[] = {{Enabled, adminsNotLast, 3}};
    EXPECT_TRUE(GroupsGrantAdmin(g2, 1));
    TokenGroupView g3[] = {{Enabled, serverOps, 2}};
    EXPECT_TRUE(GroupsGrantAdmin(g3, 1));
    // A deny-only administrators group (filtered token) is not enabled.
    TokenGroupView g4[] = {{UsedForDeny, admins, 2}, {Enabled, users, 2}};
    EXPECT_FALSE(GroupsGrantAdmin(g4, 2));
    EXPECT_FALSE(GroupsGrantAdmin(nullptr, 0));
}

TEST(StartupChecks, AgentDirectoryValueMustBeALongEnoughString)
{
    const uint32_t RegSz = 1, RegExpandSz = 2;
    EXPECT_TRUE(AcceptAgentDirectoryValue(true, RegSz, 8));
    EXPECT_FALSE(AcceptAgentDirectoryValue(true, RegSz, 6));
    EXPECT_FALSE(AcceptAgentDirectoryValue(true, RegExpandSz, 40));
    EXPECT_FALSE(AcceptAgentDirectoryValue(false, RegSz, 40));

    Char16 path[] = u"C:\\Program Files\\Merovax\\ZorvanHAgent.exe";
    KeepFolderOfPath(path);
    EXPECT_EQ(Text16(u"C:\\Program Files\\Merovax\\"), Text16(path));
    Char16 bare[] = u"agent.exe";
    KeepFolderOfPath(bare);
    EXPECT_EQ(Text16(u"agent.exe"), Text16(bare));
}

TEST(InterfaceNames, OnlyAsciiLettersIgnoreCase)
{
    EXPECT_TRUE(SameInterfaceName(u"Gigabit(R) LAN/1000", u"GIGABIT(r) lan/1000"));
    EXPECT_FALSE(SameInterfaceName(u"R\u00e9seau", u"R\u00c9SEAU"));  // é and É differ
    EXPECT_FALSE(SameInterfaceName(u"LAN", u"LAN 2"));
    EXPECT_TRUE(SameInterfaceName(Text16(u"wan"), Text16(u"WAN")));
    EXPECT_FALSE(SameInterfaceName(Text16(u"[an"), Text16(u"{AN")));  // neighbours of the letters stay apart
    EXPECT_EQ(3u, BoundedLength16(u"abc", 10));
    EXPECT_EQ(2u, BoundedLength16(u"abc", 2));
}

}  // namespace

#include <gtest/gtest.h>

#include "core/startup_checks.h"
#include "core/text16.h"

namespace {

TEST(StartupChecks, WindowsVersionAndAdministrators)
{
    EXPECT_TRUE(IsSupportedWindows(2, 5));
    EXPECT_FALSE(IsSupportedWindows(2, 4));
    EXPECT_FALSE(IsSupportedWindows(1, 5));  // the 9x line
    // The alias counts anywhere in an enabled group; a deny-only
    // administrators group (filtered token) is not enabled.
    const uint32_t Enabled = 4, UsedForDeny = 16;
    const uint32_t admins[] = {32, 544, 1000}, serverOps[] = {32, 549}, users[] = {32, 545};
    TokenGroupView granted[] = {{Enabled, users, 2}, {Enabled, admins, 3}, {Enabled, serverOps, 2}};
    EXPECT_TRUE(GroupsGrantAdmin(granted, 2));
    EXPECT_TRUE(GroupsGrantAdmin(granted + 2, 1));
    TokenGroupView denied[] = {{UsedForDeny, admins, 3}, {Enabled, users, 2}};
    EXPECT_FALSE(GroupsGrantAdmin(denied, 2));
    EXPECT_FALSE(GroupsGrantAdmin(nullptr, 0));
}

TEST(StartupChecks, AgentDirectoryValueMustBeALongEnoughString)
{
    const uint32_t RegSz = 1, RegExpandSz = 2;
    EXPECT_TRUE(AcceptAgentDirectoryValue(true, RegSz, 8));
    EXPECT_FALSE(AcceptAgentDirectoryValue(true, RegSz, 6));
    EXPECT_FALSE(AcceptAgentDirectoryValue(true, RegExpandSz, 40));
    Char16 path[] = u"C:\\Program Files\\Merovax\\ZorvanHAgent.exe", bare[] = u"agent.exe";
    KeepFolderOfPath(path);
    KeepFolderOfPath(bare);
    EXPECT_EQ(u"C:\\Program Files\\Merovax\\", Text16(path));
    EXPECT_EQ(u"agent.exe", Text16(bare));
}

TEST(InterfaceNames, OnlyAsciiLettersIgnoreCase)
{
    EXPECT_TRUE(SameInterfaceName(u"Gigabit(R) LAN/1000", u"GIGABIT(r) lan/1000"));
    EXPECT_FALSE(SameInterfaceName(u"R\u00e9seau", u"R\u00c9SEAU"));
    EXPECT_FALSE(SameInterfaceName(u"LAN", u"LAN 2"));
    EXPECT_FALSE(SameInterfaceName(Text16(u"[an"), Text16(u"{AN")));  // neighbours of the letters stay apart
}

}  // namespace

#include <gtest/gtest.h>

#include "tray/help_control_path.h"

namespace {

const Text16 System = TEXT16("C:\\WINNT\\system32");

TEST(HelpControlPath, FullPathIsKept)
{
    EXPECT_EQ(HelpControlPath(TEXT16("D:\\Help\\hhctrl.ocx"), System), Text16(TEXT16("D:\\Help\\hhctrl.ocx")));
}

// A bare name must never reach the loader, which would try the agent's
// folder before the system's.
TEST(HelpControlPath, BareNameGoesToTheSystemFolder)
{
    EXPECT_EQ(HelpControlPath(TEXT16("hhctrl.ocx"), System), Text16(TEXT16("C:\\WINNT\\system32\\hhctrl.ocx")));
    EXPECT_EQ(HelpControlPath(TEXT16("hhctrl.ocx"), TEXT16("C:\\")), Text16(TEXT16("C:\\hhctrl.ocx")));
    EXPECT_TRUE(HelpControlPath(TEXT16("hhctrl.ocx"), Text16()).empty());
}

TEST(HelpControlPath, NothingRegisteredIsNoPath)
{
    EXPECT_TRUE(HelpControlPath(Text16(), System).empty());
}

}  // namespace

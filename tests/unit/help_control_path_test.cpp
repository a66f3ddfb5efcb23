#include <gtest/gtest.h>

#include "tray/help_control_path.h"

// A bare name must never reach the loader, which would try the agent's folder
// before the system's; a full path is kept, and nothing registered is no path.
TEST(HelpControlPath, BareNamesGoToTheSystemFolder)
{
    const Text16 system = u"C:\\WINNT\\system32";
    EXPECT_EQ(HelpControlPath(u"D:\\Help\\hhctrl.ocx", system), u"D:\\Help\\hhctrl.ocx");
    EXPECT_EQ(HelpControlPath(u"hhctrl.ocx", system), u"C:\\WINNT\\system32\\hhctrl.ocx");
    EXPECT_EQ(HelpControlPath(u"hhctrl.ocx", u"C:\\"), u"C:\\hhctrl.ocx");
    EXPECT_TRUE(HelpControlPath(u"hhctrl.ocx", Text16()).empty());
    EXPECT_TRUE(HelpControlPath(Text16(), system).empty());
}

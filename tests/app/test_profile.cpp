// The profile's recent-file list and the command line.
#include "platform/framework/Profile.h"
#include "platform/framework/RecentFileList.h"
#include "platform/framework/WinApp.h"

#include <gtest/gtest.h>

namespace {

TEST(RecentFileList, KeepsSixteenNewestFirstAndDropsTheOldest) {
    CProfile profile("Orvenhal", "LumarestRecentTest");
    CRecentFileList list(profile, "Recent File List", "File%1", 16);
    for (int i = 1; i <= 17; ++i)
        list.Add(QString("/media/clip%1.avi").arg(i));
    ASSERT_EQ(list.GetCount(), 16);
    EXPECT_EQ(list[0], "/media/clip17.avi");
    EXPECT_EQ(list[15], "/media/clip2.avi");
    EXPECT_FALSE(list.Paths().contains("/media/clip1.avi"));
    // Written on every change, one entry per place.
    EXPECT_EQ(profile.GetString("Recent File List", "File1"), "/media/clip17.avi");
    EXPECT_EQ(profile.GetString("Recent File List", "File16"), "/media/clip2.avi");
    EXPECT_TRUE(profile.GetString("Recent File List", "File17").isEmpty());

    CRecentFileList again(profile, "Recent File List", "File%1", 16);
    again.ReadList();
    EXPECT_EQ(again.Paths(), list.Paths());
}

TEST(RecentFileList, ReopeningAFileMovesItToTheTop) {
    CProfile profile("Orvenhal", "LumarestRecentTest2");
    CRecentFileList list(profile, "Recent File List", "File%1", 16);
    list.Add("/a/one.mp3");
    list.Add("/a/two.mp3");
    list.Add("/a/one.mp3");
    EXPECT_EQ(list.Paths(), QStringList({"/a/one.mp3", "/a/two.mp3"}));
    list.Remove(1);
    EXPECT_EQ(list.Paths(), QStringList({"/a/one.mp3"}));
    EXPECT_TRUE(profile.GetString("Recent File List", "File2").isEmpty());
}

TEST(CommandLine, EveryNonSwitchArgumentIsAFileInItsOrder) {
    CCommandLineInfo none;
    none.Parse({});
    EXPECT_TRUE(none.m_strFileName.isEmpty());

    CCommandLineInfo switches;
    switches.Parse({"-nologo", "--x"});
    EXPECT_TRUE(switches.m_strFileName.isEmpty());
    EXPECT_EQ(switches.m_switches.size(), 2);

    CCommandLineInfo file;
    file.Parse({"-x", "/music/a b.mp3", "--new-window", "other"});
    EXPECT_EQ(file.m_strFileName, "/music/a b.mp3");
    EXPECT_EQ(file.m_files, QStringList({"/music/a b.mp3", "other"}));
    EXPECT_TRUE(file.HasSwitch("--new-window"));
    EXPECT_EQ(file.m_nShellCommand, CCommandLineInfo::FileOpen);

    CCommandLineInfo dashed; // after "--" every argument names a file
    dashed.Parse({"-x", "--", "--new-window", "-y"});
    EXPECT_EQ(dashed.m_files, QStringList({"--new-window", "-y"}));
    EXPECT_FALSE(dashed.HasSwitch("--new-window"));
}

} // namespace

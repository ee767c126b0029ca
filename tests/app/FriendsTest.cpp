#include "app/core/Friends.h"

#include "tests/app/TempWorkDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace {

std::vector<std::string> Names(const CFriendList& list) {
    return list.Names();
}

} // namespace

TEST(FriendsTest, NamesMatchTrimmedAndWithoutRegardToCaseAndOnlyWhole) {
    CFriendList list;
    EXPECT_TRUE(list.Add("  Kyle "));
    EXPECT_FALSE(list.Add("KYLE")) << "listed already";
    EXPECT_FALSE(list.Add("   ")) << "no name";
    EXPECT_TRUE(list.Add("J\xE4n"));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Kyle", "J\xE4n"}));
    EXPECT_TRUE(list.Contains("kyle"));
    EXPECT_TRUE(list.Contains("J\xC4N")) << "the code page's capital";
    EXPECT_FALSE(list.Contains("Kyl"));
    EXPECT_FALSE(list.Contains("Kyle2"));
    EXPECT_FALSE(list.Contains(""));
    EXPECT_TRUE(list.Remove(" kYLE"));
    EXPECT_FALSE(list.Remove("Kyle"));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"J\xE4n"}));
}

TEST(FriendsTest, TheFileIsReadLineByLineAndADamagedOrMissingOneIsNoFriends) {
    CTempWorkDir dir;
    int error = -1;
    EXPECT_TRUE(ReadFriends("friends.dat", &error).Empty()) << "missing";
    EXPECT_EQ(error, 0);

    CTempWorkDir::WriteFile("friends.dat", "Kyle\r\n\r\n  Jan  \nkyle\n\x01odd\n" +
                                               std::string(300, 'x') + "\nLast");
    EXPECT_EQ(Names(ReadFriends("friends.dat", &error)),
              (std::vector<std::string>{"Kyle", "Jan", "Last"}));
    EXPECT_EQ(error, 0);

    CTempWorkDir::WriteFile("friends.dat", std::string("Kyle\nJ\0n\n", 9));
    EXPECT_TRUE(ReadFriends("friends.dat", &error).Empty()) << "a zero byte";
    EXPECT_NE(error, 0);
    CTempWorkDir::WriteFile("friends.dat", std::string(4 << 20, 'a'));
    EXPECT_TRUE(ReadFriends("friends.dat", &error).Empty()) << "far too large";
    std::filesystem::remove("friends.dat");
    std::filesystem::create_directory("friends.dat");
    EXPECT_TRUE(ReadFriends("friends.dat", &error).Empty()) << "a folder";
    EXPECT_EQ(error, EISDIR);
}

TEST(FriendsTest, ChangesAreWrittenWholeAndADamagedFileIsReplaced) {
    CTempWorkDir dir;
    CFriendsStore store;
    store.Load();
    EXPECT_EQ(store.Add("Kyle"), 0);
    EXPECT_EQ(store.Add(" Jan "), 0);
    EXPECT_EQ(store.Add("jan"), 0) << "already a friend: nothing to do";
    EXPECT_EQ(CTempWorkDir::ReadFile("friends.dat"), "Kyle\nJan\n");
    EXPECT_TRUE(store.IsFriend("KYLE"));
    EXPECT_EQ(store.Remove("kyle"), 0);
    EXPECT_EQ(CTempWorkDir::ReadFile("friends.dat"), "Jan\n");
    EXPECT_FALSE(store.IsFriend("Kyle"));
    // No temporary file is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 2) << "friends.dat and the settings folder";

    CTempWorkDir::WriteFile("friends.dat", std::string("\0\0\0junk", 7));
    store.Load();
    EXPECT_TRUE(store.List().Empty());
    EXPECT_EQ(store.Add("Kyle"), 0);
    EXPECT_EQ(CTempWorkDir::ReadFile("friends.dat"), "Kyle\n");
}

TEST(FriendsTest, AFileThatCannotBeWrittenOrReadIsLeftAsItWasAndTheChangeFails) {
    CTempWorkDir dir;
    // A folder in the way cannot be replaced by a file, whoever runs the test.
    std::filesystem::create_directory("friends.dat");
    CFriendsStore store;
    EXPECT_EQ(store.Add("Kyle"), EISDIR);
    EXPECT_TRUE(store.List().Empty());
    EXPECT_TRUE(std::filesystem::is_directory("friends.dat"));
    EXPECT_NE(FriendsFileError("friends.dat", EISDIR).find("Cannot write the friends file"),
              std::string::npos);

    // A pipe cannot be read without blocking, so it is not replaced either.
    std::filesystem::remove("friends.dat");
    ASSERT_EQ(mkfifo("friends.dat", 0600), 0);
    EXPECT_EQ(store.Add("Kyle"), EINVAL);
    EXPECT_TRUE(std::filesystem::is_fifo("friends.dat"));

    // A folder that is not there: nothing to read, and the write fails.
    CFriendsStore away((dir.Path() / "gone" / "friends.dat").string());
    EXPECT_EQ(away.Add("Kyle"), ENOENT);
    EXPECT_FALSE(away.IsFriend("Kyle"));
}

TEST(FriendsTest, TwoWindowsKeepEachOthersChanges) {
    CTempWorkDir dir;
    CFriendsStore first, second;
    first.Load();
    second.Load();
    // Given each window read the empty list, when both add a friend, then the file has both.
    EXPECT_EQ(first.Add("Kyle"), 0);
    EXPECT_EQ(second.Add("Jan"), 0);
    EXPECT_EQ(CTempWorkDir::ReadFile("friends.dat"), "Kyle\nJan\n");
    EXPECT_TRUE(second.IsFriend("Kyle")) << "the second window sees the first's friend";
    // A removal in one window is not undone by the other's next change.
    EXPECT_EQ(second.Remove("Kyle"), 0);
    EXPECT_EQ(first.Add("Mara"), 0);
    EXPECT_EQ(CTempWorkDir::ReadFile("friends.dat"), "Jan\nMara\n");
    EXPECT_FALSE(first.IsFriend("Kyle"));
}

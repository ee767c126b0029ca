#include "app/core/FavoritesFile.h"

#include "TempWorkDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Readable failure output instead of the object's bytes.
void PrintTo(const CFavorite& favorite, std::ostream* out) {
    *out << '{' << testing::PrintToString(favorite.m_address) << ", "
         << testing::PrintToString(favorite.m_name) << ", "
         << testing::PrintToString(favorite.m_password) << '}';
}

namespace {

std::vector<CFavorite> Rows(std::initializer_list<CFavorite> rows) {
    return rows;
}

} // namespace

TEST(FavoritesFileTest, SavesBottomUpAndLoadsInTableOrder) {
    CTempWorkDir dir;
    auto rows = Rows({{"1.1.1.1:1", "A", ""}, {"2.2.2.2:2", "B", "pw"}, {"3.3.3.3:3", "C", ""}});
    ASSERT_EQ(SaveFavoriteRows(kFavoritesFile, rows), 0);

    EXPECT_EQ(CTempWorkDir::ReadFile(kFavoritesFile),
              "3.3.3.3:3\tC\t\r\n2.2.2.2:2\tB\tpw\r\n1.1.1.1:1\tA\t\r\n");
    EXPECT_EQ(LoadFavoriteRows(kFavoritesFile), rows);
    // Only the list itself is left behind: the temporary file was renamed into place.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);

    // An empty table empties the file.
    ASSERT_EQ(SaveFavoriteRows(kFavoritesFile, {}), 0);
    EXPECT_EQ(CTempWorkDir::ReadFile(kFavoritesFile), "");
}

TEST(FavoritesFileTest, ReadsFieldsByTabsWhateverTheLineEnds) {
    CTempWorkDir dir;
    // LF and CR LF lines, a last line without a line end, missing fields, a fourth field,
    // an empty line and a CR inside a field.
    CTempWorkDir::WriteFile(kFavoritesFile, "a:1\tOne\tp1\r\n"
                                            "b:2\tTwo\n"
                                            "c:3\r\n"
                                            "\n"
                                            "d:4\tF\xE4our\tp4\textra\r\n"
                                            "e\r:5\tFive\tp5");
    std::vector<CFavorite> lines = ReadFavoriteLines(kFavoritesFile);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], (CFavorite{"a:1", "One", "p1"}));
    EXPECT_EQ(lines[1], (CFavorite{"b:2", "Two", ""}));
    EXPECT_EQ(lines[2], (CFavorite{"c:3", "", ""}));
    EXPECT_EQ(lines[3], (CFavorite{"", "", ""}));
    EXPECT_EQ(lines[4], (CFavorite{"d:4", "F\xE4our", "p4"}));
    EXPECT_EQ(lines[5], (CFavorite{"e\r:5", "Five", "p5"}));

    EXPECT_EQ(LoadFavoriteRows(kFavoritesFile).front().m_address, "e\r:5");
    int error = -1;
    EXPECT_TRUE(ReadFavoriteLines("missing.dat", &error).empty());
    EXPECT_EQ(error, 0) << "a missing list is an empty one, not a failure";
    EXPECT_EQ(FavoriteField("x\ty", 7), "");
}

TEST(FavoritesFileTest, CleaningResolvesAddressesAndBlanksTabs) {
    CTempWorkDir dir;
    auto rows = Rows({{"localhost:27960", " \tMy\tServer  ", "\tse cret\t"},
                      {"10.0.0.1", "Plain", ""},
                      {"10.0.0.2:70000", "Wrapped port", " "}});
    EXPECT_EQ(CleanFavoriteRows(rows), -1);
    EXPECT_EQ(rows[0], (CFavorite{"127.0.0.1:27960", "My Server", "se cret"}));
    // Without a port the address is saved with port 0.
    EXPECT_EQ(rows[1], (CFavorite{"10.0.0.1:0", "Plain", ""}));
    EXPECT_EQ(rows[2], (CFavorite{"10.0.0.2:4464", "Wrapped port", ""}));

    // Line breaks inside a name would split its line in the file: they become blanks too.
    rows = Rows({{"1.2.3.4:5", "Two\r\nlines", "p\nw"}});
    EXPECT_EQ(CleanFavoriteRows(rows), -1);
    EXPECT_EQ(rows[0], (CFavorite{"1.2.3.4:5", "Two  lines", "p w"}));
    ASSERT_EQ(AppendFavorite(kFavoritesFile, "5.6.7.8:9", "A\nB"), EAppendResult::Added);
    EXPECT_EQ(ReadFavoriteLines(kFavoritesFile), Rows({{"5.6.7.8:9", "A B", ""}}));
}

TEST(FavoritesFileTest, CleaningStopsAtTheLowestInvalidAddress) {
    // Rows are checked from the last to the first: row 2 is cleaned completely, row 1 has its
    // name cleaned before its address fails, row 0 is never reached.
    auto rows = Rows({{"nonsense", " Top ", " a "},
                      {":27960", " Bad\tone ", " b "},
                      {"1.2.3.4:5", " Good ", " c "}});
    EXPECT_EQ(CleanFavoriteRows(rows), 1);
    EXPECT_EQ(rows[2], (CFavorite{"1.2.3.4:5", "Good", "c"}));
    EXPECT_EQ(rows[1], (CFavorite{":27960", "Bad one", " b "}));
    EXPECT_EQ(rows[0], (CFavorite{"nonsense", " Top ", " a "}));
}

TEST(FavoritesFileTest, AppendAddsNewAddressesOnlyAndNeverMergesLines) {
    CTempWorkDir dir;
    // Created when missing; the name is cleaned and the password field stays empty.
    EXPECT_EQ(AppendFavorite(kFavoritesFile, "1.2.3.4:5", " Some\tServer "), EAppendResult::Added);
    EXPECT_EQ(CTempWorkDir::ReadFile(kFavoritesFile), "1.2.3.4:5\tSome Server\t\r\n");

    // The address is compared byte for byte with each line's first field.
    EXPECT_EQ(AppendFavorite(kFavoritesFile, "1.2.3.4:5", "Other"), EAppendResult::AlreadyListed);
    EXPECT_EQ(CTempWorkDir::ReadFile(kFavoritesFile), "1.2.3.4:5\tSome Server\t\r\n");

    // A last line without a line end is ended first, so the entry gets a line of its own and
    // shows at the top of the dialog's table.
    CTempWorkDir::WriteFile(kFavoritesFile, "9.9.9.9:9\tNine\tpw");
    EXPECT_EQ(AppendFavorite(kFavoritesFile, "1.2.3.4:5", "New"), EAppendResult::Added);
    EXPECT_EQ(CTempWorkDir::ReadFile(kFavoritesFile),
              "9.9.9.9:9\tNine\tpw\r\n1.2.3.4:5\tNew\t\r\n");
    EXPECT_EQ(LoadFavoriteRows(kFavoritesFile).front(), (CFavorite{"1.2.3.4:5", "New", ""}));
}

TEST(FavoritesFileTest, FailuresLeaveTheOldListUntouched) {
    CTempWorkDir dir;
    // A list that exists but cannot be read is not replaced by a list of one: here a folder
    // stands where the file should be, which fails for root as well.
    std::filesystem::create_directory("blocked.dat");
    EXPECT_EQ(AppendFavorite("blocked.dat", "2.2.2.2:2", "New"), EAppendResult::Failed);
    EXPECT_TRUE(std::filesystem::is_directory("blocked.dat"));
    EXPECT_TRUE(ReadFavoriteLines("blocked.dat").empty());

    // A save that cannot be renamed into place reports its errno and leaves no temporary file.
    EXPECT_NE(SaveFavoriteRows("blocked.dat", {{"1.1.1.1:1", "A", ""}}), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
    EXPECT_NE(SaveFavoriteRows("no/such/dir/favorites.dat", {}), 0);

    // A replaced list keeps the permissions the user gave it.
    CTempWorkDir::WriteFile(kFavoritesFile, "1.1.1.1:1\tKeep\t\r\n");
    ASSERT_EQ(chmod(kFavoritesFile, 0600), 0);
    ASSERT_EQ(AppendFavorite(kFavoritesFile, "2.2.2.2:2", "New"), EAppendResult::Added);
    struct stat info {};
    ASSERT_EQ(stat(kFavoritesFile, &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(CTempWorkDir::ReadFile(kFavoritesFile), "1.1.1.1:1\tKeep\t\r\n2.2.2.2:2\tNew\t\r\n");
}

TEST(FavoritesFileTest, ALinkedListIsUpdatedWhereItLives) {
    CTempWorkDir dir;
    std::filesystem::create_directory("shared");
    CTempWorkDir::WriteFile("shared/list.dat", "1.1.1.1:1\tKeep\t\r\n");
    std::filesystem::create_symlink("shared/list.dat", kFavoritesFile);

    ASSERT_EQ(AppendFavorite(kFavoritesFile, "2.2.2.2:2", "New"), EAppendResult::Added);
    ASSERT_EQ(SaveFavoriteRows(kFavoritesFile, Rows({{"3.3.3.3:3", "Saved", ""}})), 0);
    // The link stays a link, and the list it names holds every change.
    EXPECT_TRUE(std::filesystem::is_symlink(kFavoritesFile));
    EXPECT_EQ(CTempWorkDir::ReadFile("shared/list.dat"), "3.3.3.3:3\tSaved\t\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("shared"), {}), 1);
}

TEST(FavoritesFileTest, APipeInPlaceOfTheListNeverBlocks) {
    CTempWorkDir dir;
    ASSERT_EQ(mkfifo(kFavoritesFile, 0600), 0);
    // With a writer that never writes, reading the pipe would wait for ever; the alarm ends
    // the test run instead.
    const int writer = open(kFavoritesFile, O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    alarm(10);
    int error = 0;
    EXPECT_TRUE(ReadFavoriteLines(kFavoritesFile, &error).empty());
    EXPECT_NE(error, 0) << "a list that is there but unreadable must not pass for empty";
    EXPECT_EQ(AppendFavorite(kFavoritesFile, "1.2.3.4:5", "New"), EAppendResult::Failed);
    alarm(0);
    close(writer);
    struct stat info {};
    ASSERT_EQ(lstat(kFavoritesFile, &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST(FavoritesFileTest, ASaveKeepsWhatOtherWindowsAddedAndItsOwnEditsAndDeletions) {
    // The dialog read three rows (top row first, the file's last line),
    const auto loaded = Rows({{"3.3.3.3:3", "C", ""}, {"2.2.2.2:2", "B", ""}, {"host:1", "A", ""}});
    // renamed C, deleted B, added D and cleaned A's address;
    const auto rows =
        Rows({{"4.4.4.4:4", "D", ""}, {"3.3.3.3:3", "C2", "pw"}, {"127.0.0.1:1", "A", ""}});
    // meanwhile another window appended E and F, and a third renamed B.
    const auto current = Rows({{"6.6.6.6:6", "F", ""},
                               {"5.5.5.5:5", "E", ""},
                               {"3.3.3.3:3", "C", ""},
                               {"2.2.2.2:2", "B elsewhere", ""},
                               {"host:1", "A", ""}});
    const std::vector<CFavorite> merged = MergeFavoriteRows(rows, loaded, current);
    EXPECT_EQ(merged, Rows({{"6.6.6.6:6", "F", ""},
                            {"5.5.5.5:5", "E", ""},
                            {"4.4.4.4:4", "D", ""},
                            {"3.3.3.3:3", "C2", "pw"},
                            {"127.0.0.1:1", "A", ""}}));

    // Saved, the others' lines follow the dialog's own in the order they were appended.
    CTempWorkDir dir;
    ASSERT_EQ(SaveFavoriteRows(kFavoritesFile, merged), 0);
    EXPECT_EQ(CTempWorkDir::ReadFile(kFavoritesFile),
              "127.0.0.1:1\tA\t\r\n3.3.3.3:3\tC2\tpw\r\n4.4.4.4:4\tD\t\r\n5.5.5.5:5\tE\t\r\n"
              "6.6.6.6:6\tF\t\r\n");

    // Nobody else wrote: the dialog's rows alone, deletions included.
    EXPECT_EQ(MergeFavoriteRows(Rows({}), loaded, loaded), Rows({}));
}

#include "query/Favorites.h"

#include "query/ServerRecord.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FavoritesTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = testing::TempDir() + "vantrel-favorites-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        m_file = m_dir + "/favorites.dat";
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string m_dir;
    std::string m_file;
};

} // namespace

TEST_F(FavoritesTest, EveryLineBecomesARecordAndALaterAddressReplacesAnEarlierOne) {
    std::ofstream(m_file, std::ios::binary) << "10.0.0.1:27960\tFirst\tpw\r\n"
                                            << "10.0.0.2:27961\tSecond\n"
                                            << "10.0.0.1:27960\tAgain\t\r\n";
    CServerList list;
    list.FindOrInsert(CSockAddr("1.1.1.1:1"));
    ASSERT_TRUE(LoadFavoritesIntoList(m_file, list));
    ASSERT_EQ(list.Size(), 2u);
    const CServerRecord& first = list.FindOrInsert(CSockAddr("10.0.0.1:27960"));
    EXPECT_EQ(first.m_name, "Again");
    EXPECT_EQ(first.m_password, "");
    EXPECT_EQ(list.FindOrInsert(CSockAddr("10.0.0.2:27961")).m_name, "Second");
}

TEST_F(FavoritesTest, AMissingFileOrAPipeInItsPlaceGivesAnEmptyListAtOnce) {
    CServerList list;
    list.FindOrInsert(CSockAddr("1.1.1.1:1"));
    EXPECT_FALSE(LoadFavoritesIntoList(m_file, list));
    EXPECT_EQ(list.Size(), 0u);

    // Opening a pipe nobody writes to would wait for ever; the alarm ends a hanging run.
    ASSERT_EQ(mkfifo(m_file.c_str(), 0600), 0);
    list.FindOrInsert(CSockAddr("1.1.1.1:1"));
    alarm(10);
    EXPECT_FALSE(LoadFavoritesIntoList(m_file, list));
    alarm(0);
    EXPECT_EQ(list.Size(), 0u);
}

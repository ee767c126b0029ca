#include "app/core/DataHome.h"
#include "app/core/CommandLine.h"

#include "TempWorkDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one scope, or removes it for a null value.
class CEnvOverride {
public:
    CEnvOverride(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~CEnvOverride() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

} // namespace

TEST(DataHomeTest, FolderFollowsTheBaseDirectoryRules) {
    CEnvOverride home("HOME", "/home/me");
    {
        CEnvOverride data("XDG_DATA_HOME", "/data");
        EXPECT_EQ(DataHomeFolder(), "/data/vantrel");
    }
    for (const char* ignored : {static_cast<const char*>(nullptr), "", "relative/data"}) {
        CEnvOverride data("XDG_DATA_HOME", ignored);
        EXPECT_EQ(DataHomeFolder(), "/home/me/.local/share/vantrel");
    }
    CEnvOverride data("XDG_DATA_HOME", nullptr);
    CEnvOverride noHome("HOME", "");
    EXPECT_EQ(DataHomeFolder(), "");
    std::string error;
    EXPECT_FALSE(EnterDataHome(error));
    EXPECT_FALSE(error.empty());
}

TEST(DataHomeTest, EnteringCreatesTheFolderPrivatelyOrLeavesTheDirectory) {
    CTempWorkDir dir;
    CEnvOverride data("XDG_DATA_HOME", (dir.Path() / "a/b").c_str());
    std::string error;
    ASSERT_TRUE(EnterDataHome(error)) << error;
    EXPECT_EQ(fs::current_path(), dir.Path() / "a/b/vantrel");
    struct stat info {};
    ASSERT_EQ(stat((dir.Path() / "a/b/vantrel").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    // An existing folder is entered as it is.
    fs::current_path(dir.Path());
    EXPECT_TRUE(EnterDataHome(error));
    EXPECT_EQ(fs::current_path(), dir.Path() / "a/b/vantrel");

    // A file where the folder should be: refused, and the directory stays.
    fs::current_path(dir.Path());
    CTempWorkDir::WriteFile("blocked", "");
    CEnvOverride blocked("XDG_DATA_HOME", (dir.Path() / "blocked").c_str());
    EXPECT_FALSE(EnterDataHome(error));
    EXPECT_NE(error.find(dir.Path().string() + "/blocked/vantrel"), std::string::npos);
    EXPECT_EQ(fs::current_path(), dir.Path());

    std::string parseError;
    EXPECT_TRUE(ParseCommandLine({"--data-home", "--view", "servers"}, parseError)->m_dataHome);
    EXPECT_FALSE(ParseCommandLine({}, parseError)->m_dataHome);
}

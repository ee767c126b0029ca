#include "net/RegistryKey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace fs = std::filesystem;

namespace {

const std::string kKey = "Software\\Vantrel JK2";
const std::string kKeyFile = "settings.reg";
const std::string kSection = "[HKEY_CURRENT_USER\\Software\\Vantrel JK2]\n";

// Points the store at a fresh temporary directory, never at the user's own settings.
class RegistryKeyTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vantrel-reg-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        Remember("VANTREL_CONFIG_DIR");
        Remember("XDG_CONFIG_HOME");
        Remember("HOME");
        setenv("VANTREL_CONFIG_DIR", m_dir.c_str(), 1);
    }
    void TearDown() override {
        for (const auto& [name, value] : m_saved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        fs::remove_all(m_dir);
    }
    void Remember(const std::string& name) {
        const char* value = std::getenv(name.c_str());
        m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    void WriteFile(const std::string& name, const std::string& text) {
        std::ofstream(m_dir / name, std::ios::binary) << text;
    }
    std::string ReadFile(const std::string& name) {
        std::ifstream in(m_dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    CRegistryKey OpenKey() {
        CRegistryKey key;
        EXPECT_TRUE(key.SetPath(kKey));
        return key;
    }

    fs::path m_dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace

TEST_F(RegistryKeyTest, FreshStoreGivesDefaultsAndCreatesTheKey) {
    CRegistryKey key;
    EXPECT_EQ(key.GetRoot(), HKEY_CURRENT_USER);
    EXPECT_TRUE(key.SetPath(kKey, true));
    EXPECT_EQ(key.GetPath(), kKey);
    EXPECT_EQ(key.ReadNumber("Speed", 1), 1u);
    EXPECT_EQ(key.ReadString("Master", "master.example:28060"), "master.example:28060");
    std::uint8_t block[16];
    std::memset(block, 0xAB, sizeof block);
    EXPECT_FALSE(key.ReadBlock("LastPos", block));
    EXPECT_EQ(block[0], 0xAB);
    EXPECT_EQ(key.GetValueType("Speed"), 0u);
    EXPECT_FALSE(key.ValueExists("Speed"));

    // The key and the key above it exist from now on.
    EXPECT_TRUE(fs::is_regular_file(m_dir / kKeyFile));
    CRegistryKey parent;
    EXPECT_TRUE(parent.SetPath("Software", false));
    CRegistryKey missing;
    EXPECT_FALSE(missing.SetPath("Software\\Other", false));
    EXPECT_EQ(missing.GetPath(), "");
}

TEST_F(RegistryKeyTest, TypedValuesRoundTripThroughTheFile) {
    CRegistryKey key = OpenKey();
    const std::int32_t rect[4] = {-8, -30, 1288, 1000};
    EXPECT_TRUE(key.WriteNumber("Speed", 0xFFFFFFFF)); // -1: nothing selected
    EXPECT_TRUE(key.WriteString("Master", "192.168.0.5:28060"));
    EXPECT_TRUE(key.WriteBlock("LastPos", rect));
    EXPECT_TRUE(key.WriteString("LastPlayers", "Kyle\n\"Jan\" O\\rs\n\xE9t\xE9\n"));

    CRegistryKey again = OpenKey();
    EXPECT_EQ(again.ReadNumber("Speed", 1), 0xFFFFFFFFu);
    EXPECT_EQ(again.GetValueType("Speed"), REG_DWORD);
    EXPECT_EQ(again.ReadString("Master", ""), "192.168.0.5:28060");
    EXPECT_EQ(again.GetValueType("Master"), REG_SZ);
    EXPECT_EQ(again.ReadString("LastPlayers", ""), "Kyle\n\"Jan\" O\\rs\n\xE9t\xE9\n");
    std::int32_t read[4] = {};
    EXPECT_TRUE(again.ReadBlock("LastPos", read));
    EXPECT_EQ(std::memcmp(read, rect, sizeof rect), 0);
    EXPECT_EQ(again.GetValueType("LastPos"), REG_BINARY);
    EXPECT_TRUE(again.ValueExists("lastpos")); // names ignore case

    // A value keeps one entry when rewritten with another type.
    EXPECT_TRUE(again.WriteNumber("MASTER", 7));
    EXPECT_EQ(again.ReadString("Master", "none"), "none");
    EXPECT_EQ(again.ReadNumber("Master", 0), 7u);
}

TEST_F(RegistryKeyTest, StringsHaveA254CharacterLimit) {
    CRegistryKey key = OpenKey();
    const std::string longest(254, 'n');
    EXPECT_TRUE(key.WriteString("LastPlayers", longest));
    EXPECT_EQ(key.ReadString("LastPlayers", "default"), longest);
    EXPECT_FALSE(key.WriteString("LastPlayers", longest + "x"));
    EXPECT_EQ(key.ReadString("LastPlayers", "default"), longest);

    // Values made elsewhere: too long, of another type, or expandable.
    WriteFile(kKeyFile, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vantrel JK2]\n"
                        "\"Long\"=\"" +
                            std::string(255, 'l') +
                            "\"\n"
                            "\"Number\"=dword:00000005\n"
                            "\"Path\"=hex(2):25,48,4f,4d,45,25,00\n"
                            "\"NoZero\"=hex(1):61,62\n");
    EXPECT_EQ(key.ReadString("Long", "default"), "default");
    EXPECT_EQ(key.ReadString("Number", "default"), "default");
    EXPECT_EQ(key.ReadString("Path", "default"), "%HOME%");
    EXPECT_EQ(key.GetValueType("Path"), REG_EXPAND_SZ);
    EXPECT_EQ(key.ReadString("NoZero", "default"), "ab");
}

TEST_F(RegistryKeyTest, NumbersReadAnyFourByteValue) {
    CRegistryKey key = OpenKey();
    EXPECT_TRUE(key.WriteString("Three", "abc"));
    EXPECT_EQ(key.ReadNumber("Three", 9), 0x00636261u);
    EXPECT_TRUE(key.WriteString("Four", "abcd"));
    EXPECT_EQ(key.ReadNumber("Four", 9), 9u);
    const std::uint8_t bytes[5] = {1, 2, 3, 4, 5};
    EXPECT_TRUE(key.WriteBinary("Two", bytes, 2));
    EXPECT_EQ(key.ReadNumber("Two", 9), 9u);
    EXPECT_TRUE(key.WriteBinary("Four", bytes, 4));
    EXPECT_EQ(key.ReadNumber("Four", 9), 0x04030201u);
}

TEST_F(RegistryKeyTest, BlocksAreExactlySixteenBytesAndLayoutsFitTheirBuffer) {
    CRegistryKey key = OpenKey();
    std::uint8_t bytes[17];
    for (int i = 0; i < 17; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i + 1);
    }
    std::uint8_t block[16] = {};
    EXPECT_TRUE(key.WriteBinary("Short", bytes, 15));
    EXPECT_TRUE(key.WriteBinary("Long", bytes, 17));
    EXPECT_FALSE(key.ReadBlock("Short", block));
    EXPECT_FALSE(key.ReadBlock("Long", block));
    EXPECT_EQ(block[0], 0);

    // A layout smaller than the buffer replaces its leading bytes; a larger one is not read.
    std::uint16_t layout[4] = {9, 9, 9, 9};
    const std::uint16_t stored[2] = {1, 2};
    EXPECT_TRUE(key.WriteBinary("Tavex_Server", stored, sizeof stored));
    EXPECT_TRUE(key.ReadBinary("Tavex_Server", layout, sizeof layout));
    EXPECT_EQ(layout[0], 1);
    EXPECT_EQ(layout[1], 2);
    EXPECT_EQ(layout[2], 9);
    std::uint16_t small[1] = {7};
    EXPECT_FALSE(key.ReadBinary("Tavex_Server", small, sizeof small));
    EXPECT_EQ(small[0], 7);
}

TEST_F(RegistryKeyTest, DamagedFileReadsAsMissingValues) {
    CRegistryKey key = OpenKey();
    static const char kJunk[] = "\0\x01\xFF\xFE garbage \"\n=\n@\n\"x\n";
    const std::string damaged[] = {
        std::string(kJunk, sizeof kJunk - 1),
        "\"Speed\"=dword:1234567890\n\"Master\"=\"unterminated\n\"LastPos\"=hex:01,02,\n",
        "\"Speed\"=hex:zz\n\"Master\"=dword:\n\"LastPos\"=hex(:00\n\"A\"=\"b\"trailing\n",
        "\"LastPos\"=hex:01,02,03,04,05,06,07,08,\\\n",
    };
    for (const std::string& text : damaged) {
        WriteFile(kKeyFile, kSection + text);
        EXPECT_EQ(key.ReadNumber("Speed", 1), 1u) << text;
        EXPECT_EQ(key.ReadString("Master", "m"), "m") << text;
        std::uint8_t block[16] = {};
        EXPECT_FALSE(key.ReadBlock("LastPos", block)) << text;
    }

    // Good lines around bad ones still count, and the next write leaves a clean file.
    WriteFile(kKeyFile, "REGEDIT4\n" + kSection +
                            "\"Speed\"=dword:00000003\n\"Bad\"=what\n\"Version\"=dword:10\n");
    EXPECT_EQ(key.ReadNumber("Speed", 1), 3u);
    EXPECT_EQ(key.ReadNumber("Version", 15), 16u);
    EXPECT_TRUE(key.WriteNumber("Speed", 4));
    EXPECT_EQ(ReadFile(kKeyFile), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vantrel JK2]\n"
                                  "\"Speed\"=dword:00000004\n"
                                  "\"Version\"=dword:00000010\n\n");

    // A directory where the key's file belongs: the key is missing, nothing breaks.
    fs::remove(m_dir / kKeyFile);
    fs::create_directory(m_dir / kKeyFile);
    EXPECT_EQ(key.ReadNumber("Speed", 1), 1u);
    EXPECT_FALSE(key.WriteNumber("Speed", 2));
}

TEST_F(RegistryKeyTest, FileIsReadableRegExportText) {
    CRegistryKey key = OpenKey();
    std::uint8_t layout[30];
    for (int i = 0; i < 30; ++i) {
        layout[i] = static_cast<std::uint8_t>(i);
    }
    EXPECT_TRUE(key.WriteString("JK2", "C:\\Games\\"));
    EXPECT_TRUE(key.WriteNumber("LastView", 1));
    EXPECT_TRUE(key.WriteBinary("Tavex_Player", layout, sizeof layout));
    EXPECT_TRUE(key.WriteString("", "default"));
    const std::string text = ReadFile(kKeyFile);
    EXPECT_EQ(text.rfind("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\n" + kSection, 0), 0u);
    EXPECT_NE(text.find("\n\"JK2\"=\"C:\\\\Games\\\\\"\n"), std::string::npos);
    EXPECT_NE(text.find("\n\"LastView\"=dword:00000001\n"), std::string::npos);
    EXPECT_NE(text.find("\n\"Tavex_Player\"=hex:00,01,02,"), std::string::npos);
    EXPECT_NE(text.find("17,\\\n  18,19,"), std::string::npos); // long lists continue
    EXPECT_NE(text.find("\n@=\"default\"\n"), std::string::npos);

    // Only the one finished file is left behind: writes go through a renamed temporary, and
    // every key lives in that file.
    CRegistryKey look;
    ASSERT_TRUE(look.SetPath("Software\\Belvorn\\Tavex"));
    EXPECT_TRUE(look.WriteNumber("GridLines", 1));
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(m_dir)) {
        files.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(files, std::vector<std::string>{kKeyFile});
    EXPECT_NE(ReadFile(kKeyFile).find("\n[HKEY_CURRENT_USER\\Software\\Belvorn\\Tavex]\n"
                                      "\"GridLines\"=dword:00000001\n"),
              std::string::npos);
    EXPECT_EQ(key.ReadString("JK2", ""), "C:\\Games\\");

    // Text as a person or another tool wrote it: CR LF, comments, blanks, odd case.
    WriteFile(kKeyFile,
              "REGEDIT4\r\n\r\n; edited by hand\r\n [HKEY_CURRENT_USER\\Software\\Vantrel JK2]\r\n"
              "\"Tavex_Player\" = HEX:0A,0b,\\\r\n   0c\r\n"
              "\"JK2\"=\"C:\\\\Games\\\\\"\r\n\"IncludeFullServers\"=DWORD:0\r\n");
    std::uint8_t read[3] = {};
    EXPECT_TRUE(key.ReadBinary("Tavex_Player", read, sizeof read));
    EXPECT_EQ(read[2], 0x0C);
    EXPECT_EQ(key.ReadString("JK2", ""), "C:\\Games\\");
    EXPECT_EQ(key.ReadNumber("IncludeFullServers", 1), 0u);
}

TEST_F(RegistryKeyTest, RootsAndPathsChangeOnlyWhenValid) {
    CRegistryKey key;
    EXPECT_FALSE(key.SetRoot(0x80000004));
    EXPECT_FALSE(key.SetRoot(0));
    EXPECT_EQ(key.GetRoot(), HKEY_CURRENT_USER);

    // Without a path the values sit below the root itself.
    EXPECT_TRUE(key.WriteNumber("AtRoot", 1));
    EXPECT_NE(ReadFile(kKeyFile).find("[HKEY_CURRENT_USER]\n\"AtRoot\"=dword:00000001\n"),
              std::string::npos);
    EXPECT_TRUE(key.SetRoot(HKEY_LOCAL_MACHINE));
    EXPECT_EQ(key.ReadNumber("AtRoot", 0), 0u);

    EXPECT_TRUE(key.SetPath("Software\\Belvorn\\Tavex"));
    for (const char* bad : {"a\\\\b", "\\lead", "trail\\", "x/y", "new\nline"}) {
        EXPECT_FALSE(key.SetPath(bad)) << bad;
        EXPECT_EQ(key.GetPath(), "Software\\Belvorn\\Tavex");
    }
    EXPECT_FALSE(key.SetPath(std::string(300, 'k')));

    // A store that cannot be created leaves the previous path in effect.
    EXPECT_TRUE(key.WriteNumber("Kept", 5));
    const std::string blocked = (m_dir / "blocked").string();
    WriteFile("blocked", "a file, not a directory");
    setenv("VANTREL_CONFIG_DIR", blocked.c_str(), 1);
    EXPECT_FALSE(key.SetPath("Software\\Elsewhere"));
    setenv("VANTREL_CONFIG_DIR", m_dir.c_str(), 1);
    EXPECT_EQ(key.GetPath(), "Software\\Belvorn\\Tavex");
    EXPECT_EQ(key.ReadNumber("Kept", 0), 5u);

    EXPECT_TRUE(key.SetPath(""));
    EXPECT_EQ(key.GetPath(), "");
    EXPECT_EQ(key.GetRoot(), HKEY_LOCAL_MACHINE);
    key.SetPath("Software");
    key.Reset();
    EXPECT_EQ(key.GetRoot(), HKEY_CURRENT_USER);
    EXPECT_EQ(key.GetPath(), "");
    EXPECT_EQ(key.ReadNumber("AtRoot", 0), 1u);
}

TEST_F(RegistryKeyTest, ConfigDirFallsBackToXdgThenHome) {
    EXPECT_EQ(CRegistryKey::ConfigDir(), m_dir.string());
    unsetenv("VANTREL_CONFIG_DIR");
    setenv("XDG_CONFIG_HOME", "/xdg/config", 1);
    EXPECT_EQ(CRegistryKey::ConfigDir(), "/xdg/config/vantrel");
    setenv("XDG_CONFIG_HOME", "", 1);
    setenv("HOME", "/home/player", 1);
    EXPECT_EQ(CRegistryKey::ConfigDir(), "/home/player/.config/vantrel");
}

TEST_F(RegistryKeyTest, AStoreFileOfTheUsersOwnIsPrivateAndALinkToItStaysALink) {
    CRegistryKey key = OpenKey();
    ASSERT_TRUE(key.WriteString("Password", "secret"));
    EXPECT_EQ(fs::status(m_dir / kKeyFile).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // Settings kept elsewhere and linked into place, as people do with their dotfiles.
    fs::create_directory(m_dir / "elsewhere");
    fs::rename(m_dir / kKeyFile, m_dir / "elsewhere" / "store.reg");
    fs::create_symlink(m_dir / "elsewhere" / "store.reg", m_dir / kKeyFile);
    ASSERT_TRUE(key.WriteNumber("LastView", 1));
    EXPECT_TRUE(fs::is_symlink(m_dir / kKeyFile));
    EXPECT_EQ(key.ReadString("Password", ""), "secret");
    EXPECT_NE(ReadFile("elsewhere/store.reg").find("\"LastView\"=dword:00000001"),
              std::string::npos);
}

TEST_F(RegistryKeyTest, TheFilesOfEarlierVersionsMoveIntoTheOneFileOnce) {
    // Given the settings of an earlier version, one file per key, and a settings file that an
    // older run has not seen yet,
    WriteFile("HKEY_CURRENT_USER\\Software\\Vantrel JK2.reg",
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vantrel JK2]\n"
              "\"Master\"=\"10.1.1.1:28060\"\n\"Speed\"=dword:00000005\n"
              "\"Tavex_Server\"=hex:01,00,02,00\n");
    WriteFile("HKEY_CURRENT_USER\\Software\\Belvorn\\Tavex.reg",
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Belvorn\\Tavex]\n\"GridLines\"=dword:0\n");
    WriteFile("HKEY_CURRENT_USER\\Software.reg", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n");
    WriteFile("notes.reg", "not a key of ours\n");
    WriteFile(kKeyFile, "REGEDIT4\n\n" + kSection + "\"Speed\"=dword:00000001\n\"Kept\"=\"yes\"\n");

    // when the settings are first opened,
    CRegistryKey key;
    ASSERT_TRUE(key.SetPath(kKey, false));
    // then every value stored before reads as it was, the old file winning over the settings
    // file (it was written later, by the earlier version),
    EXPECT_EQ(key.ReadString("Master", ""), "10.1.1.1:28060");
    EXPECT_EQ(key.ReadNumber("Speed", 0), 5u);
    EXPECT_EQ(key.ReadString("Kept", ""), "yes");
    std::uint8_t layout[4] = {};
    EXPECT_TRUE(key.ReadBinary("Tavex_Server", layout, sizeof layout));
    EXPECT_EQ(layout[2], 2);
    CRegistryKey look;
    ASSERT_TRUE(look.SetPath("Software\\Belvorn\\Tavex", false));
    EXPECT_EQ(look.ReadNumber("GridLines", 1), 0u);
    // and the old files are gone; what is not a key's file stays.
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(m_dir)) {
        files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"notes.reg", kKeyFile}));

    // The move happens once: values written since are not undone by it.
    EXPECT_TRUE(key.WriteNumber("Speed", 2));
    EXPECT_EQ(OpenKey().ReadNumber("Speed", 0), 2u);
}

TEST_F(RegistryKeyTest, OldFilesStayWhileTheOneFileCannotBeWritten) {
    WriteFile("HKEY_CURRENT_USER\\Software\\Vantrel JK2.reg",
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vantrel JK2]\n\"Speed\"=dword:5\n");
    // A folder where the settings file belongs: nothing can be moved, so nothing is removed.
    fs::create_directory(m_dir / kKeyFile);
    CRegistryKey key;
    EXPECT_FALSE(key.SetPath(kKey, false));
    EXPECT_TRUE(fs::is_regular_file(m_dir / "HKEY_CURRENT_USER\\Software\\Vantrel JK2.reg"));
    // Once it can, the next look moves them.
    fs::remove(m_dir / kKeyFile);
    ASSERT_TRUE(key.SetPath(kKey, false));
    EXPECT_EQ(key.ReadNumber("Speed", 0), 5u);
    EXPECT_FALSE(fs::exists(m_dir / "HKEY_CURRENT_USER\\Software\\Vantrel JK2.reg"));
}

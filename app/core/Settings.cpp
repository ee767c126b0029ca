#include "app/core/Settings.h"

#include "net/RegistryKey.h"
#include "query/MasterList.h"
#include "table/LayoutRecord.h"

#include <algorithm>
#include <array>

namespace {

std::int32_t ReadInt32(const std::uint8_t* bytes) {
    std::uint32_t value = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                          std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
    return static_cast<std::int32_t>(value);
}

void WriteInt32(std::uint8_t* bytes, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

bool ReadFlag(const CRegistryKey& key, const char* name, bool defaultValue) {
    return key.ReadNumber(name, defaultValue ? 1 : 0) != 0;
}

} // namespace

CWindowRect CWindowRect::Normalized() const {
    return {std::min(m_left, m_right), std::min(m_top, m_bottom), std::max(m_left, m_right),
            std::max(m_top, m_bottom)};
}

bool OpenSettingsKey(CRegistryKey& key) {
    return key.SetRoot(HKEY_CURRENT_USER) && key.SetPath(kSettingsPath, true);
}

CSettings LoadMainSettings(const CRegistryKey& key) {
    CSettings defaults;
    CSettings settings;
    settings.m_lastPlayers = key.ReadString(kLastPlayersValue, defaults.m_lastPlayers);
    settings.m_password = key.ReadString(kPasswordValue, defaults.m_password);
    settings.m_lastPos = ReadWindowRect(key, kLastPosValue);
    settings.m_splitPos = static_cast<std::int32_t>(
        key.ReadNumber(kSplitPosValue, static_cast<std::uint32_t>(defaults.m_splitPos)));
    settings.m_version = key.ReadNumber(kVersionValue, defaults.m_version);
    settings.m_autoClose = ReadFlag(key, kAutoCloseValue, defaults.m_autoClose);
    settings.m_autoRequery = ReadFlag(key, kAutoRequeryValue, defaults.m_autoRequery);
    settings.m_includeEmpty = ReadFlag(key, kIncludeEmptyValue, defaults.m_includeEmpty);
    settings.m_includeFull = ReadFlag(key, kIncludeFullValue, defaults.m_includeFull);
    settings.m_master = key.ReadString(kMasterValue, defaults.m_master);
    settings.m_speed = key.ReadNumber(kSpeedValue, defaults.m_speed);
    settings.m_lastView = key.ReadNumber(kLastViewValue, defaults.m_lastView);
    settings.m_startupQuery = key.ReadNumber(kStartupQueryValue, defaults.m_startupQuery);
    settings.m_moreMasters = key.ReadString(kMoreMastersValue, defaults.m_moreMasters);
    return settings;
}

void SaveMainSettings(CRegistryKey& key, const CSettings& settings, const CMainLayouts& layouts) {
    key.WriteNumber(kSpeedValue, settings.m_speed);
    key.WriteNumber(kVersionValue, settings.m_version);
    key.WriteNumber(kLastViewValue, settings.m_lastView);
    key.WriteNumber(kIncludeEmptyValue, settings.m_includeEmpty ? 1 : 0);
    key.WriteNumber(kIncludeFullValue, settings.m_includeFull ? 1 : 0);
    key.WriteString(kMasterValue, settings.m_master);
    key.WriteString(kLastPlayersValue, settings.m_lastPlayers);
    key.WriteString(kPasswordValue, settings.m_password);
    WriteTableLayout(key, kPlayerLayoutValue, layouts.m_player);
    WriteTableLayout(key, kServerLayoutValue, layouts.m_server);
    WriteTableLayout(key, kPlayerOnServerLayoutValue, layouts.m_playerOnServer);
    if (settings.m_lastPos) {
        WriteWindowRect(key, kLastPosValue, *settings.m_lastPos);
        key.WriteNumber(kSplitPosValue, static_cast<std::uint32_t>(settings.m_splitPos));
    }
    key.WriteString(kMoreMastersValue, settings.m_moreMasters);
}

COptions LoadOptions(const CRegistryKey& key) {
    COptions defaults;
    COptions options;
    options.m_autoClose = ReadFlag(key, kAutoCloseValue, defaults.m_autoClose);
    options.m_autoRequery = ReadFlag(key, kAutoRequeryValue, defaults.m_autoRequery);
    options.m_startupQuery = key.ReadNumber(kStartupQueryValue, defaults.m_startupQuery);
    options.m_requerySeconds = std::max(
        key.ReadNumber(kRequerySecondsValue, defaults.m_requerySeconds), std::uint32_t{15});
    return options;
}

void SaveOptions(CRegistryKey& key, const COptions& options) {
    key.WriteNumber(kAutoCloseValue, options.m_autoClose ? 1 : 0);
    key.WriteNumber(kAutoRequeryValue, options.m_autoRequery ? 1 : 0);
    key.WriteNumber(kStartupQueryValue, options.m_startupQuery);
    key.WriteNumber(kRequerySecondsValue, options.m_requerySeconds);
}

std::string LoadGamePath(const CRegistryKey& key) {
    return key.ReadString(kGamePathValue, "");
}

void SaveGamePath(CRegistryKey& key, const std::string& path) {
    key.WriteString(kGamePathValue, path);
}

void ReadTableLayout(const CRegistryKey& key, const char* name, std::vector<std::uint16_t>& words) {
    std::vector<std::uint8_t> bytes = Tavex::LayoutToBytes(words);
    if (key.ReadBinary(name, bytes.data(), bytes.size()))
        Tavex::OverlayLayoutBytes(words, bytes);
}

void WriteTableLayout(CRegistryKey& key, const char* name,
                      const std::vector<std::uint16_t>& words) {
    const std::vector<std::uint8_t> bytes = Tavex::LayoutToBytes(words);
    key.WriteBinary(name, bytes.data(), bytes.size());
}

std::optional<CWindowRect> ReadWindowRect(const CRegistryKey& key, const char* name) {
    std::array<std::uint8_t, CRegistryKey::kBlockSize> block{};
    if (!key.ReadBlock(name, block.data()))
        return std::nullopt;
    return CWindowRect{ReadInt32(&block[0]), ReadInt32(&block[4]), ReadInt32(&block[8]),
                       ReadInt32(&block[12])};
}

void WriteWindowRect(CRegistryKey& key, const char* name, const CWindowRect& rect) {
    CWindowRect normalized = rect.Normalized();
    std::array<std::uint8_t, CRegistryKey::kBlockSize> block{};
    WriteInt32(&block[0], normalized.m_left);
    WriteInt32(&block[4], normalized.m_top);
    WriteInt32(&block[8], normalized.m_right);
    WriteInt32(&block[12], normalized.m_bottom);
    key.WriteBlock(name, block.data());
}

bool IsMainRectApplied(const CWindowRect& rect, int templateWidth) {
    return rect.Width() >= templateWidth;
}

bool IsFavoritesRectApplied(const CWindowRect& rect, int templateWidth) {
    return rect.Width() > templateWidth;
}

int VersionSelection(std::uint32_t version) {
    // The list has no line for other numbers and falls back to its second one.
    if (version == kFirstVersion || version == kAllVersions)
        return static_cast<int>(version - kFirstVersion);
    return 1;
}

std::uint32_t VersionOfSelection(int selection) {
    return kFirstVersion + static_cast<std::uint32_t>(selection);
}

int SpeedSelection(std::uint32_t speed) {
    return speed < static_cast<std::uint32_t>(kSpeedCount) ? static_cast<int>(speed) : -1;
}

std::vector<std::string> MastersOf(const CSettings& settings) {
    std::vector<std::string> masters{settings.m_master};
    for (std::string& more : SplitMasterTexts(settings.m_moreMasters))
        masters.push_back(std::move(more));
    return masters;
}

void SetMasters(CSettings& settings, const std::vector<std::string>& masters) {
    settings.m_master = masters.empty() ? std::string() : masters.front();
    settings.m_moreMasters =
        masters.empty()
            ? std::string()
            : JoinMasterTexts(std::vector<std::string>(masters.begin() + 1, masters.end()));
}

CSettings WithCommandLine(CSettings settings, const CCommandLine& commandLine) {
    // The one master of this run, asked alone.
    if (commandLine.m_master) {
        settings.m_master = *commandLine.m_master;
        settings.m_moreMasters.clear();
    }
    if (commandLine.m_startupQuery)
        settings.m_startupQuery = *commandLine.m_startupQuery;
    if (commandLine.m_view)
        settings.m_lastView = static_cast<std::uint32_t>(*commandLine.m_view);
    return settings;
}

CSettings WithoutCommandLine(CSettings current, const CSettings& stored,
                             const CCommandLine& commandLine) {
    if (commandLine.m_master) {
        current.m_master = stored.m_master;
        current.m_moreMasters = stored.m_moreMasters;
    }
    if (commandLine.m_startupQuery)
        current.m_startupQuery = stored.m_startupQuery;
    if (commandLine.m_view)
        current.m_lastView = stored.m_lastView;
    return current;
}

#include "query/CountryLookup.h"

#include <GeoIP.h>
#include <maxminddb.h>

#include <arpa/inet.h>

#include <filesystem>

namespace {

// Two upper-case letters; the old database's "--", "A1", "A2" and "O1" name no country.
std::string CheckedCode(std::string code) {
    if (code.size() != 2 || code[0] < 'A' || code[0] > 'Z' || code[1] < 'A' || code[1] > 'Z' ||
        code == "A1" || code == "A2" || code == "O1")
        return {};
    return code;
}

class CMaxMindLookup : public ICountryLookup {
public:
    ~CMaxMindLookup() override {
        if (m_open)
            MMDB_close(&m_db);
    }
    bool Open(const std::string& path) {
        m_open = MMDB_open(path.c_str(), MMDB_MODE_MMAP, &m_db) == MMDB_SUCCESS;
        return m_open;
    }
    std::string CountryOf(const CSockAddr& address) override {
        if (HasNoCountry(address))
            return {};
        sockaddr_in where = address;
        int error = 0;
        MMDB_lookup_result_s found =
            MMDB_lookup_sockaddr(&m_db, reinterpret_cast<const sockaddr*>(&where), &error);
        if (error != MMDB_SUCCESS || !found.found_entry)
            return {};
        MMDB_entry_data_s data{};
        if (MMDB_get_value(&found.entry, &data, "country", "iso_code", nullptr) != MMDB_SUCCESS ||
            !data.has_data || data.type != MMDB_DATA_TYPE_UTF8_STRING)
            return {};
        return CheckedCode(std::string(data.utf8_string, data.data_size));
    }

private:
    MMDB_s m_db{};
    bool m_open = false;
};

class CGeoIpLookup : public ICountryLookup {
public:
    ~CGeoIpLookup() override {
        if (m_db)
            GeoIP_delete(m_db);
    }
    bool Open(const std::string& path) {
        m_db = GeoIP_open(path.c_str(), GEOIP_STANDARD | GEOIP_SILENCE);
        return m_db != nullptr;
    }
    std::string CountryOf(const CSockAddr& address) override {
        if (HasNoCountry(address))
            return {};
        const char* code = GeoIP_country_code_by_ipnum(m_db, ntohl(address.sin_addr.s_addr));
        return code ? CheckedCode(code) : std::string();
    }

private:
    GeoIP* m_db = nullptr;
};

} // namespace

bool HasNoCountry(const CSockAddr& address) {
    const std::uint32_t a = ntohl(address.sin_addr.s_addr);
    auto in = [a](std::uint32_t net, int bits) {
        return (a >> (32 - bits)) == (net >> (32 - bits));
    };
    return in(0x00000000, 8) ||  // this network
           in(0x0A000000, 8) ||  // private
           in(0x64400000, 10) || // shared address space
           in(0x7F000000, 8) ||  // loopback
           in(0xA9FE0000, 16) || // link-local
           in(0xAC100000, 12) || // private
           in(0xC0A80000, 16) || // private
           in(0xE0000000, 4) ||  // multicast
           in(0xF0000000, 4);    // reserved and broadcast
}

std::vector<std::string> DefaultCountryDatabaseFolders() {
    return {"/usr/share/GeoIP", "/var/lib/GeoIP"};
}

std::unique_ptr<ICountryLookup> OpenCountryDatabase(const std::vector<std::string>& folders) {
    std::error_code ignored;
    for (const std::string& folder : folders) {
        const std::string path = folder + "/GeoLite2-Country.mmdb";
        if (!std::filesystem::is_regular_file(path, ignored))
            continue;
        auto lookup = std::make_unique<CMaxMindLookup>();
        if (lookup->Open(path))
            return lookup;
    }
    for (const std::string& folder : folders) {
        const std::string path = folder + "/GeoIP.dat";
        if (!std::filesystem::is_regular_file(path, ignored))
            continue;
        auto lookup = std::make_unique<CGeoIpLookup>();
        if (lookup->Open(path))
            return lookup;
    }
    return nullptr;
}

std::string CCountryCache::Find(const CSockAddr& address) {
    if (!m_lookup)
        return {};
    const std::uint32_t key = address.sin_addr.s_addr;
    auto known = m_known.find(key);
    if (known != m_known.end())
        return known->second;
    std::string code = m_lookup->CountryOf(address);
    m_known.emplace(key, code);
    return code;
}

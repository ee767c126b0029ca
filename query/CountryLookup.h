// The country of a server's address, from a real database read offline: a MaxMind
// GeoLite2-Country.mmdb where one is installed, else the GeoIP.dat of Debian's geoip-database.
// Tests stand in through the interface.
// Threading: a look-up and its cache are used by one thread at a time (the query worker during
// a run, the window thread between runs); the thread hand-over at a run's start and end orders
// them.
#pragma once

#include "net/SockAddr.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class ICountryLookup {
public:
    virtual ~ICountryLookup() = default;
    // The ISO 3166 code in upper case ("DE"), or empty when the address has none.
    virtual std::string CountryOf(const CSockAddr& address) = 0;
};

// Loopback, private, link-local, shared, multicast and other addresses that name no place.
bool HasNoCountry(const CSockAddr& address);

// Where the databases are looked for, in this order.
std::vector<std::string> DefaultCountryDatabaseFolders();

// The first database found in `folders`: GeoLite2-Country.mmdb in any of them first, else
// GeoIP.dat. Null when there is none or it cannot be read; nothing is reported.
std::unique_ptr<ICountryLookup>
OpenCountryDatabase(const std::vector<std::string>& folders = DefaultCountryDatabaseFolders());

// Asks `lookup` once per address; the answer, an empty one too, is kept. The databases
// themselves leave out the addresses that have no country.
class CCountryCache {
public:
    explicit CCountryCache(std::unique_ptr<ICountryLookup> lookup) : m_lookup(std::move(lookup)) {}
    std::string Find(const CSockAddr& address);
    bool HasDatabase() const { return m_lookup != nullptr; }

private:
    std::unique_ptr<ICountryLookup> m_lookup;
    std::unordered_map<std::uint32_t, std::string> m_known;
};

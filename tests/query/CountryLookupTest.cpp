#include "query/CountryLookup.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

CSockAddr Ip(const char* dotted) {
    CSockAddr address;
    inet_pton(AF_INET, dotted, &address.sin_addr);
    address.SetPort(27960);
    return address;
}

struct CScriptedLookup : ICountryLookup {
    int asked = 0;
    std::string CountryOf(const CSockAddr& address) override {
        ++asked;
        return address.Format().starts_with("8.") ? "US" : "";
    }
};

} // namespace

TEST(CountryLookupTest, LoopbackAndPrivateAddressesHaveNoCountry) {
    for (const char* none :
         {"127.0.0.1", "127.255.0.9", "10.1.2.3", "172.16.0.1", "172.31.255.255", "192.168.1.1",
          "169.254.3.4", "100.64.0.1", "0.0.0.0", "224.0.0.1", "255.255.255.255"})
        EXPECT_TRUE(HasNoCountry(Ip(none))) << none;
    for (const char* some : {"8.8.8.8", "172.32.0.1", "172.15.255.255", "192.169.0.1",
                             "100.128.0.1", "11.0.0.1", "223.255.255.255"})
        EXPECT_FALSE(HasNoCountry(Ip(some))) << some;
}

TEST(CountryLookupTest, TheCacheAsksOncePerAddress) {
    auto scripted = std::make_unique<CScriptedLookup>();
    CScriptedLookup* lookup = scripted.get();
    CCountryCache cache(std::move(scripted));
    EXPECT_EQ(cache.Find(Ip("8.8.8.8")), "US");
    CSockAddr otherPort = Ip("8.8.8.8");
    otherPort.SetPort(28070);
    EXPECT_EQ(cache.Find(otherPort), "US"); // another port, the same address
    EXPECT_EQ(cache.Find(Ip("9.9.9.9")), "");
    EXPECT_EQ(cache.Find(Ip("9.9.9.9")), ""); // an empty answer is kept too
    EXPECT_EQ(lookup->asked, 2);

    CCountryCache none(nullptr);
    EXPECT_FALSE(none.HasDatabase());
    EXPECT_EQ(none.Find(Ip("8.8.8.8")), "");
}

TEST(CountryLookupTest, MissingOrDamagedDatabasesGiveNoLookUp) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("vantrel-country-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    EXPECT_EQ(OpenCountryDatabase({(dir / "none").string()}), nullptr);
    // A damaged MaxMind file is passed over for the next database, and none is left.
    std::ofstream(dir / "GeoLite2-Country.mmdb") << std::string(4096, 'x');
    EXPECT_EQ(OpenCountryDatabase({dir.string()}), nullptr);
    std::filesystem::remove_all(dir);
}

TEST(CountryLookupTest, TheInstalledDatabaseLoadsAndKeepsLoopbackOut) {
    // Whatever the data says of a public address, the look-up answers a code or nothing.
    std::unique_ptr<ICountryLookup> installed = OpenCountryDatabase();
    if (!installed)
        GTEST_SKIP() << "no country database installed";
    EXPECT_EQ(installed->CountryOf(Ip("127.0.0.1")), "");
    EXPECT_EQ(installed->CountryOf(Ip("192.168.0.1")), "");
    const std::string code = installed->CountryOf(Ip("8.8.8.8"));
    EXPECT_TRUE(code.empty() ||
                (code.size() == 2 && std::isupper(code[0]) && std::isupper(code[1])))
        << code;
}

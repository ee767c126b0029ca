#include "net/SockErr.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstring>

TEST(SockErrTest, MessagesOfKnownNumbersQuoteTheirTableText) {
    EXPECT_EQ(CSockErr(0).GetMessage(), "Socket Error 0 : No error");
    EXPECT_EQ(CSockErr(10040).GetMessage(), "Socket Error 10040 : Message too long");
    EXPECT_EQ(CSockErr(10054).GetMessage(), "Socket Error 10054 : Connection reset by peer");
    EXPECT_EQ(CSockErr(10049).GetMessage(), "Socket Error 10049 : Can't assign requested address");
    EXPECT_EQ(CSockErr(10093).GetMessage(), "Socket Error 10093 : Winsock not yet initialized");
    EXPECT_EQ(CSockErr(11004).GetMessage(),
              "Socket Error 11004 : Valid name, no data record of requested type");
    // System numbers of the event machinery sit at the end of the table.
    EXPECT_EQ(CSockErr(8).GetMessage(), "Socket Error 8 : Insufficient memory available");
    EXPECT_EQ(CSockErr(87).GetMessage(), "Socket Error 87 : One or more parameters are invalid");
    EXPECT_EQ(CSockErr(995).GetMessage(), "Socket Error 995 : Overlapped operation aborted");
    EXPECT_EQ(CSockErr(996).GetMessage(), "Socket Error 996 : Overlapped I/O object not signalled");
    EXPECT_EQ(CSockErr(997).GetMessage(), "Socket Error 997 : Overlapped I/O will complete later");
    EXPECT_EQ(CSockErr(6).GetMessage(), "Socket Error 6 : Event object handle not valid");
    EXPECT_EQ(CSockErr(10065).GetCode(), 10065);
}

TEST(SockErrTest, NumbersOutsideTheTableAreUnknown) {
    EXPECT_EQ(CSockErr(12345).GetMessage(), "Socket Error 12345 : Unknown error");
    EXPECT_EQ(CSockErr(10072).GetMessage(), "Socket Error 10072 : Unknown error");
    EXPECT_EQ(CSockErr(-1).GetMessage(), "Socket Error -1 : Unknown error");
    EXPECT_EQ(CSockErr(-10040).GetMessage(), "Socket Error -10040 : Unknown error");
    EXPECT_EQ(CSockErr(INT_MIN).GetMessage(), "Socket Error -2147483648 : Unknown error");
    EXPECT_EQ(CSockErr(-1).GetCode(), -1);
}

TEST(SockErrTest, ErrnoValuesReadAsTheirWinsockTexts) {
    EXPECT_EQ(SockErrFromErrno(EHOSTUNREACH), 10065);
    EXPECT_EQ(SockErrFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(SockErrFromErrno(ECONNRESET), 10054);
    EXPECT_EQ(SockErrFromErrno(EWOULDBLOCK), 10035);
    EXPECT_EQ(SockErrFromErrno(EMSGSIZE), 10040);
    EXPECT_EQ(SockErrFromErrno(EADDRINUSE), 10048);
    EXPECT_EQ(SockErrFromErrno(ENOMEM), 8);
    // An errno with no Winsock counterpart must not fall onto an unrelated row (ENXIO is 6).
    EXPECT_EQ(SockErrFromErrno(ENXIO), WSASYSCALLFAILURE);

    errno = ENETUNREACH;
    const CSockErr current;
    EXPECT_EQ(current.GetCode(), 10051);
    EXPECT_EQ(current.GetMessage(), "Socket Error 10051 : Network is unreachable");
}

TEST(SockErrTest, GetErrorTextCopiesWithinCapacity) {
    const CSockErr error(10040);
    const std::string message = "Socket Error 10040 : Message too long";
    char buffer[64];
    unsigned help = 77;

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_TRUE(error.GetErrorText(buffer, 1, &help));
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'x');

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_TRUE(error.GetErrorText(buffer, 7, &help));
    EXPECT_STREQ(buffer, "Socket");
    EXPECT_EQ(buffer[7], 'x');

    EXPECT_TRUE(error.GetErrorText(buffer, message.size() + 1, &help));
    EXPECT_EQ(std::string(buffer), message);
    EXPECT_TRUE(error.GetErrorText(buffer, sizeof buffer, &help));
    EXPECT_EQ(std::string(buffer), message);
    EXPECT_EQ(help, 77u);

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(CError("").GetErrorText(buffer, sizeof buffer));
    EXPECT_EQ(buffer[0], 'x');
}

TEST(SockErrTest, ErrorNamesTheSourceFileWithoutItsDirectory) {
    EXPECT_EQ(CError("Kaputt", "C:\\a\\b.cpp", 12).GetMessage(), "Kaputt in Datei b.cpp, 12");
    EXPECT_EQ(CError("Kaputt", "b.cpp").GetMessage(), "Kaputt in Datei b.cpp");
    EXPECT_EQ(CError("Kaputt", nullptr, 1).GetMessage(), "Kaputt, 1");
    EXPECT_EQ(CError("Kaputt", "C:\\a\\b.cpp", 0).GetMessage(), "Kaputt in Datei b.cpp");
    EXPECT_EQ(CError("Kaputt").GetMessage(), "Kaputt");
    EXPECT_EQ(CError("Kaputt").GetCode(), 0);
    EXPECT_STREQ(CError("Kaputt").what(), "Kaputt");
}

TEST(SockErrTest, ThrowSockErrThrowsOnlyForFailures) {
    EXPECT_NO_THROW(ThrowSockErr(0));
    try {
        ThrowSockErr(10065);
        FAIL() << "no exception";
    } catch (const CError& error) {
        EXPECT_NE(dynamic_cast<const CSockErr*>(&error), nullptr);
        EXPECT_EQ(error.GetCode(), 10065);
        EXPECT_EQ(error.GetMessage(), "Socket Error 10065 : No route to host");
    }
}

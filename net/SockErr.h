// Errors with a message text and a number; CSockErr words Winsock numbers. Thrown and caught
// by value (throw CSockErr(n); catch (const CError& e)), so no handler has to free anything.
#pragma once

#include <cstddef>
#include <exception>
#include <string>
#include <utility>

// Winsock error numbers this layer produces itself. errno values are mapped onto the same
// numbering, so every message comes from the one table of Winsock texts.
constexpr int WSAEFAULT = 10014;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEMSGSIZE = 10040;
constexpr int WSASYSCALLFAILURE = 10107;

class CError : public std::exception {
public:
    // The message is the text, then " in Datei <file name>" when a source file is given, then
    // ", <line>" for lines from 1 up.
    explicit CError(const std::string& text, const char* sourceFile = nullptr, int line = -1);

    const char* what() const noexcept override { return m_message.c_str(); }
    const std::string& GetMessage() const { return m_message; }
    int GetCode() const { return m_code; }

    // Copies at most capacity - 1 characters and a terminating zero; false for an empty
    // message. The help context is left untouched, as callers expect.
    virtual bool GetErrorText(char* buffer, std::size_t capacity,
                              unsigned* helpContext = nullptr) const;

protected:
    CError(std::string message, int code) : m_message(std::move(message)), m_code(code) {}

private:
    std::string m_message;
    int m_code = 0;
};

class CSockErr : public CError {
public:
    // The current socket error of the calling thread (GetLastSockError).
    CSockErr();
    explicit CSockErr(int code);

    // "Socket Error %i : %s" with the table text or "Unknown error".
    static std::string FormatMessage(int code);
};

// Does nothing for 0; throws CSockErr(code) for anything else.
void ThrowSockErr(int code);

// The Winsock number for an errno value; unknown values become WSASYSCALLFAILURE.
int SockErrFromErrno(int err);

// The Winsock number of the calling thread's last failed system call (from errno).
int GetLastSockError();

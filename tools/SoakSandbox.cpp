// Keeps the soak on this machine: whatever the random input types as an address, names are
// never looked up and nothing is sent anywhere but 127.0.0.1. These definitions stand in
// front of the C library's for the whole process.
#include <arpa/inet.h>
#include <cerrno>
#include <dlfcn.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

bool IsLoopback(const sockaddr* to) {
    if (to == nullptr || to->sa_family != AF_INET)
        return false;
    const auto* in = reinterpret_cast<const sockaddr_in*>(to);
    return (ntohl(in->sin_addr.s_addr) >> 24) == 127;
}

template <class F> F Next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result) {
    using Fn = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const Fn next = Next<Fn>("getaddrinfo");
    addrinfo numeric{};
    if (hints)
        numeric = *hints;
    numeric.ai_flags |= AI_NUMERICHOST | AI_NUMERICSERV;
    return next(node, service, &numeric, result);
}

extern "C" ssize_t sendto(int socket, const void* data, size_t size, int flags, const sockaddr* to,
                          socklen_t length) {
    using Fn = ssize_t (*)(int, const void*, size_t, int, const sockaddr*, socklen_t);
    static const Fn next = Next<Fn>("sendto");
    if (to != nullptr && !IsLoopback(to)) {
        errno = ENETUNREACH;
        return -1;
    }
    return next(socket, data, size, flags, to, length);
}

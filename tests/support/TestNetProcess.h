// Test helper: the loopback test network (vantrel-testnet) started as a child process, and a
// run of free UDP ports for it. Only this child is ever signalled.
#pragma once

#include <csignal>
#include <cstdint>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace TestSupport {

class CTestNetProcess {
public:
    // program: the path of vantrel-testnet. Returns once it has printed its ready line.
    CTestNetProcess(const char* program, std::vector<std::string> arguments) {
        int out[2];
        if (pipe(out) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv{const_cast<char*>(program)};
            for (std::string& argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            execv(program, argv.data());
            _exit(127);
        }
        close(out[1]);
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n')
            m_ready += c;
        close(out[0]);
    }
    ~CTestNetProcess() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    CTestNetProcess(const CTestNetProcess&) = delete;
    CTestNetProcess& operator=(const CTestNetProcess&) = delete;

    bool Ready() const { return m_ready.starts_with("vantrel-testnet ready"); }
    const std::string& ReadyLine() const { return m_ready; }

private:
    pid_t m_pid = -1;
    std::string m_ready;
};

// A base port with `count` free ports after it, as far as a quick bind can tell; 0 when none
// was found. salt keeps several callers in one process apart.
inline int FreePorts(int count, int salt = 0) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        int base = 20000 + (getpid() * 37 + salt * 997 + attempt * 211) % 30000;
        bool free = true;
        for (int p = base; p <= base + count && free; ++p) {
            int fd = socket(AF_INET, SOCK_DGRAM, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(static_cast<std::uint16_t>(p));
            free = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            close(fd);
        }
        if (free)
            return base;
    }
    return 0;
}

} // namespace TestSupport

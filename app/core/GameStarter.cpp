#include "app/core/GameStarter.h"

#include "platform/Text.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

void WriteError(int fd, int error) {
    // The parent reads it; a short write only loses the exact number, never the failure.
    [[maybe_unused]] ssize_t written = write(fd, &error, sizeof error);
}

// Relative paths name files from the browser's folder, which the game's start leaves.
std::string AbsolutePath(const std::string& path) {
    if (path.front() == '/')
        return path;
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer) == nullptr)
        return path;
    return std::string(buffer) + '/' + path;
}

std::string OwnFolder() {
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer)
        return std::string();
    return GameFolder(std::string_view(buffer, static_cast<std::size_t>(length)));
}

} // namespace

std::string WineMissingMessage(std::string_view executable) {
    return "Wine is needed to start a Windows game: " + std::string(executable);
}

bool IsWindowsGame(std::string_view executable) {
    constexpr std::string_view kExe = ".exe";
    return executable.size() > kExe.size() &&
           Platform::CompareNoCase(executable.substr(executable.size() - kExe.size()), kExe) == 0;
}

std::string WindowsPath(std::string_view unixPath) {
    std::string path = "Z:";
    for (char c : unixPath)
        path += c == '/' ? '\\' : c;
    return path;
}

std::string GameCommandLine(std::string_view path, std::string_view command) {
    std::string line = "\"";
    line += path;
    line += '"';
    line += command;
    return line;
}

std::string WineLauncherPath() {
    constexpr const char* kLauncher = "/vantrel-winexec.exe";
    if (const char* dir = std::getenv("VANTREL_LIBEXEC_DIR"); dir != nullptr && *dir != '\0')
        return dir + std::string(kLauncher);
    return OwnFolder() + "/../libexec/vantrel" + kLauncher;
}

std::string GameFolder(std::string_view executable) {
    std::size_t slash = executable.rfind('/');
    if (slash == std::string_view::npos)
        return std::string();
    // The root folder keeps its slash, or the game would start in the browser's folder.
    return std::string(executable.substr(0, slash == 0 ? 1 : slash));
}

std::string FindInPath(std::string_view program) {
    const char* path = std::getenv("PATH");
    if (program.empty() || path == nullptr)
        return std::string();
    std::string_view dirs(path);
    while (true) {
        std::size_t colon = dirs.find(':');
        std::string_view dir = dirs.substr(0, colon);
        std::string candidate = dir.empty() ? "." : std::string(dir);
        candidate += '/';
        candidate += program;
        if (IsExecutableFile(candidate))
            return candidate;
        if (colon == std::string_view::npos)
            return std::string();
        dirs.remove_prefix(colon + 1);
    }
}

std::vector<std::string> GameArguments(const std::string& executable, const std::string& command,
                                       const std::string& wine, const std::string& launcher) {
    if (IsWindowsGame(executable))
        return {wine, launcher, GameCommandLine(WindowsPath(executable), command)};
    return {executable, command};
}

std::string GameStartMessage(std::string_view executable, int error) {
    std::string reason;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        reason = "not found";
        break;
    case EACCES:
    case ENOEXEC:
    case EISDIR:
        reason = "not a program";
        break;
    default:
        reason = std::strerror(error);
        break;
    }
    return "Cannot start the game \"" + std::string(executable) + "\": " + reason + ".";
}

int GameFileProblem(const std::string& executable) {
    struct stat info {};
    if (executable.empty() || stat(executable.c_str(), &info) != 0)
        return ENOENT;
    if (!S_ISREG(info.st_mode))
        return EACCES;
    if (!IsWindowsGame(executable) && access(executable.c_str(), X_OK) != 0)
        return EACCES;
    return 0;
}

int StartGame(const std::string& executable, const std::string& command) {
    if (executable.empty())
        return ENOENT;
    const std::string program = AbsolutePath(executable);
    std::string wine;
    std::string launcher;
    if (IsWindowsGame(program)) {
        // Wine starts for any file name and fails only later, when the browser may already
        // have closed as after a join; so the file must be there before wine is asked to run it.
        struct stat info {};
        if (stat(program.c_str(), &info) != 0)
            return errno;
        if (!S_ISREG(info.st_mode))
            return EACCES;
        wine = FindInPath("wine");
        if (wine.empty())
            return kWineMissing;
        launcher = WineLauncherPath();
        if (stat(launcher.c_str(), &info) != 0)
            return errno;
    }
    std::vector<std::string> arguments = GameArguments(program, command, wine, launcher);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::string folder = GameFolder(program);

    // The exec's success closes the pipe (close-on-exec); a failure writes its errno into it.
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return errno;

    // Two forks: the middle process ends at once and the game is adopted by init, so no
    // zombie stays behind while the browser runs on. Between fork and exec only
    // async-signal-safe calls, since the query worker may hold locks in the parent.
    pid_t child = fork();
    if (child < 0) {
        int error = errno;
        close(pipeFds[0]);
        close(pipeFds[1]);
        return error;
    }
    if (child == 0) {
        close(pipeFds[0]);
        pid_t game = fork();
        if (game < 0) {
            WriteError(pipeFds[1], errno);
            _exit(127);
        }
        if (game > 0)
            _exit(0);
        if (!folder.empty() && chdir(folder.c_str()) != 0) {
            // The game then starts where the browser runs, as a folder-less path does.
        }
        execve(argv[0], argv.data(), environ);
        WriteError(pipeFds[1], errno);
        _exit(127);
    }

    close(pipeFds[1]);
    int error = 0;
    ssize_t got;
    do {
        got = read(pipeFds[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(pipeFds[0]);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    return got > 0 ? (error != 0 ? error : EIO) : 0;
}

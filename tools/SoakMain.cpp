// vantrel-soak: the browser's real window on the offscreen platform, against a loopback test
// network in this process, under a fixed-seed stream of random mouse and key events. Fails on a
// crash, a hang (no event processed for 5 s) or a sanitizer report, naming the seed and the
// event. The game is a stand-in that records its arguments; everything written goes into a
// temporary folder, removed afterwards.
#include "app/MainDialog.h"

#include "app/BrowserApp.h"
#include "app/core/Settings.h"
#include "net/RegistryKey.h"
#include "platform/qt/QtPlatform.h"
#include "resources/ResourceIds.h"
#include "tools/SoakInput.h"
#include "tools/TestNet.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

// The font library keeps caches to the end of the process; they are not the browser's leaks.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace {

constexpr auto kHangLimit = std::chrono::seconds(5);
// How long a new main window may wait for its start-up query before the input goes on.
constexpr std::int64_t kSettleMs = 3000;

std::uint32_t g_seed = 1;
long g_events = 2000;
std::atomic<long> g_event{0};
bool g_trace = false;
std::atomic<std::int64_t> g_lastProgressMs{0};
std::mutex g_lastMutex;
std::string g_last = "start";

std::int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Async-signal-safe: digits and text with write(2) only.
void WriteRaw(const char* text) {
    ssize_t ignored = write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
}
void WriteNumber(long value) {
    char digits[24];
    int n = 0;
    unsigned long v = value < 0 ? 0 : static_cast<unsigned long>(value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0 && n < 23);
    char text[24];
    for (int i = 0; i < n; ++i)
        text[i] = digits[n - 1 - i];
    text[n] = '\0';
    WriteRaw(text);
}
void WriteWhere(const char* what) {
    WriteRaw("vantrel-soak: ");
    WriteRaw(what);
    WriteRaw(" at event ");
    WriteNumber(g_event.load());
    WriteRaw(" of ");
    WriteNumber(g_events);
    WriteRaw(", seed ");
    WriteNumber(g_seed);
    WriteRaw("\n");
}

#if defined(__SANITIZE_ADDRESS__)
void OnSanitizerDeath() {
    WriteWhere("sanitizer report");
}
#else
void OnCrash(int signal) {
    WriteWhere(signal == SIGABRT ? "abort" : "crash");
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
#endif

void ReportFailures() {
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(OnSanitizerDeath);
#else
    // On a stack of its own, so a stack overflow is reported too.
    static std::array<char, 1 << 16> stack;
    stack_t alternate{};
    alternate.ss_sp = stack.data();
    alternate.ss_size = stack.size();
    sigaltstack(&alternate, nullptr);
    struct sigaction action {};
    action.sa_handler = OnCrash;
    action.sa_flags = SA_ONSTACK | SA_RESETHAND;
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        sigaction(signal, &action, nullptr);
#endif
}

void Progress(std::string what) {
    g_lastProgressMs = NowMs();
    std::lock_guard lock(g_lastMutex);
    g_last = std::move(what);
}

// Ends the process when no event has been processed for the limit.
void Watchdog(std::atomic<bool>& done) {
    while (!done) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (NowMs() - g_lastProgressMs.load() <= std::chrono::milliseconds(kHangLimit).count())
            continue;
        std::string last;
        {
            std::lock_guard lock(g_lastMutex);
            last = g_last;
        }
        WriteWhere("hang (no event processed for 5 s)");
        std::fprintf(stderr, "vantrel-soak: the last event was %s\n", last.c_str());
        std::_Exit(3);
    }
}

// The window system, except what would reach beyond the soak: links are not opened and the
// file choosers answer with files inside the soak's folder.
class CSoakPlatform : public PlatformQt::QtPlatform {
public:
    explicit CSoakPlatform(std::filesystem::path folder) : m_folder(std::move(folder)) {}

    int OpenWithDefaultHandler(const std::string&) override { return 33; }
    bool GetOpenFileName(Platform::CWnd*, const Platform::OpenFileRequest&,
                         std::string& path) override {
        path = (m_folder / "game.sh").string();
        return (++m_choices % 4) != 0;
    }
    bool GetSaveFileName(Platform::CWnd*, const Platform::SaveFileRequest&,
                         std::string& path) override {
        path = (m_folder / ("export-" + std::to_string(++m_choices % 3) + ".html")).string();
        return (m_choices % 4) != 0;
    }

private:
    std::filesystem::path m_folder;
    int m_choices = 0;
};

CTestNetConfig Network() {
    CTestNetConfig config;
    const char* maps[] = {"ffa_bespin", "ctf_yavin", "duel_pit"};
    for (int i = 0; i < 12; ++i) {
        CTestServer server;
        server.name = "^" + std::to_string(i % 8) + "Soak " + std::to_string(i);
        server.map = maps[i % 3];
        server.gameType = i % 8;
        server.maxClients = i == 3 ? 2 : 16;
        for (int p = 0; p < (i * 5) % 7; ++p)
            server.players.push_back(
                {"^" + std::to_string(p) + "Pl" + std::to_string(i) + "_" + std::to_string(p),
                 (i * p) % 30 - 2, 20 + p * 7});
        server.variables = {{"g_needpass", i % 4 == 0 ? "1" : "0"}, {"sv_hostname", server.name}};
        server.delayMs = (i * 13) % 90;
        if (i == 9)
            server.behaviour = CTestServer::EBehaviour::Silent;
        if (i == 10)
            server.behaviour = CTestServer::EBehaviour::Malformed;
        if (i == 11)
            server.behaviour = CTestServer::EBehaviour::ResendOnly;
        config.servers.push_back(server);
    }
    return config;
}

std::filesystem::path MakeFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-soak-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr)
        return {};
    return std::filesystem::canonical(pattern);
}

// Everything the browser, Qt and the font library write lands in the folder.
void Confine(const std::filesystem::path& folder) {
    for (const char* sub : {"config", "home", "cache", "data", "runtime"})
        std::filesystem::create_directory(folder / sub);
    std::filesystem::permissions(folder / "runtime", std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", (folder / "runtime").c_str(), 1);
    setenv("VANTREL_CONFIG_DIR", (folder / "config").c_str(), 1);
    setenv("HOME", (folder / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder / "home").c_str(), 1);
    setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    std::filesystem::current_path(folder);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void WriteStandInGame(const std::filesystem::path& folder) {
    const std::filesystem::path script = folder / "game.sh";
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\000' \"$@\" >> '"
                          << (folder / "game-args").string() << "'\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
}

// The offscreen platform says at every menu that it cannot grab the mouse; nothing else is
// dropped.
void FilterQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    const char* kind = type == QtWarningMsg ? "warning" : type == QtDebugMsg ? "debug" : "message";
    std::fprintf(stderr, "vantrel-soak: Qt %s: %s\n", kind, message.toLocal8Bit().constData());
}

int Usage() {
    std::fprintf(stderr, "usage: vantrel-soak [--seed N] [--events N] [--keep] [--trace]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--keep") {
            keep = true;
        } else if (option == "--trace") {
            g_trace = true;
        } else if ((option == "--seed" || option == "--events") && i + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 0)
                return Usage();
            if (option == "--seed")
                g_seed = static_cast<std::uint32_t>(value);
            else
                g_events = value;
        } else {
            return Usage();
        }
    }

    const std::filesystem::path folder = MakeFolder();
    if (folder.empty()) {
        std::fprintf(stderr, "vantrel-soak: cannot make a temporary folder\n");
        return 2;
    }
    Confine(folder);
    WriteStandInGame(folder);
    ReportFailures();

    CTestNet network(Network());
    network.Start();
    {
        CRegistryKey key;
        OpenSettingsKey(key);
        key.WriteString(kMasterValue, "127.0.0.1:" + std::to_string(network.GetMasterPort()));
        key.WriteString(kMoreMastersValue, ""); // no public master, no name to look up
        key.WriteString(kGamePathValue, (folder / "game.sh").string());
        key.WriteNumber(kStartupQueryValue, 2);
    }

    int qtArgc = 1;
    char name[] = "vantrel-soak";
    char* qtArgv[] = {name, nullptr};
    qInstallMessageHandler(FilterQtMessages);
    QApplication application(qtArgc, qtArgv);
    QApplication::setApplicationName(CBrowserApp::kAppName);
    CSoakPlatform platform(folder);
    CSoakInput input(g_seed);

    std::atomic<bool> done{false};
    Progress("start");
    std::thread watchdog(Watchdog, std::ref(done));

    CMainDialog* shown = nullptr;
    std::int64_t openedAt = 0;
    int closing = 0;
    std::map<std::string, int> reached;
    QPointer<QWidget> lastTop;
    // One event per turn of whichever loop runs, the innermost modal one included: the next
    // turn is queued before the event goes out, since the event may open a modal window.
    std::function<void()> step = [&] {
        if (g_event.load() >= g_events) {
            // Done: close whatever is open, top first, until the main window has gone.
            QWidget* top = CSoakInput::TopWindow(nullptr);
            if (auto* dialog = qobject_cast<QDialog*>(top))
                dialog->reject();
            else if (top)
                top->close();
            else if (shown && shown->IsWindow())
                platform.Widget(*shown)->close();
            // Not counted as progress: windows that will not close are a hang too.
            if (++closing == 1)
                Progress("closing");
            QTimer::singleShot(10, step);
            return;
        }
        QWidget* main = shown && shown->IsWindow() ? platform.Widget(*shown) : nullptr;
        // A new main window first gets its start-up query's results, so that the input meets
        // filled tables and not only empty ones (a window seldom lives many events).
        const std::int64_t age = NowMs() - openedAt;
        // The master exchange keeps the window's controls disabled until the list is in.
        const bool querying =
            main && (shown->Engine().IsRunning() ||
                     !shown->GetDlgItem(Res::IDC_QUERY_MASTER)->IsWindowEnabled());
        if (main && age < kSettleMs && (age < 300 || querying)) {
            Progress("waiting for the start-up query");
            QTimer::singleShot(10, step);
            return;
        }
        QTimer::singleShot(0, step);
        if (!main && !QApplication::activeModalWidget())
            return;
        // Which windows the input reached, for the summary.
        if (QWidget* top = CSoakInput::TopWindow(main); top && top != lastTop) {
            lastTop = top;
            const QString title = top->windowTitle();
            ++reached[title.isEmpty() ? top->metaObject()->className() : title.toStdString()];
        }
        ++g_event;
        std::string what = input.Send(main);
        if (g_trace)
            std::fprintf(stderr, "vantrel-soak: %ld %s\n", g_event.load(), what.c_str());
        Progress(std::move(what));
    };

    int windows = 0;
    // One chain of turns for the whole run; it waits while no window is open.
    QTimer::singleShot(0, step);
    while (g_event.load() < g_events) {
        CMainDialog dialog;
        // The master's answer is awaited on the window's thread; short waits keep it moving.
        dialog.Engine().SetMasterWaits(200, 50);
        shown = &dialog;
        openedAt = NowMs();
        ++windows;
        dialog.DoModal(platform, nullptr);
        shown = nullptr;
        Progress("window closed");
    }
    done = true;
    watchdog.join();
    network.Stop();

    std::printf("vantrel-soak: seed %u, %ld events, %d main windows: no crash, hang or report\n",
                g_seed, g_events, windows);
    std::printf("vantrel-soak: windows reached:");
    for (const auto& [title, count] : reached)
        std::printf(" \"%s\" %d,", title.c_str(), count);
    std::printf("\n");
    std::error_code ignored;
    if (keep)
        std::printf("vantrel-soak: kept %s\n", folder.c_str());
    else
        std::filesystem::remove_all(folder, ignored);
    return 0;
}

// Start-up as a desktop sees it: the program's window and a bare Qt window
// (minimal_window) started in alternating pairs on a private X server with a
// window manager and a private PulseAudio server. For each start, the time
// from exec to the first painted frame and the peak memory (VmHWM, for the
// program once all its samples are decoded); medians, and the program's
// figures over the bare window's.
//
//   startup_bench [pairs]     (10 by default; needs Xvfb, optionally openbox)
#include <QCoreApplication>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "pulseserver.h"

namespace {

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000000000 + now.tv_nsec;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Start {
    double execToPaintMs = -1, peakMb = -1;
};

/// Runs a probe to its end; its name=value lines give the figures.
Start measure(const std::string& program)
{
    int out[2];
    if (pipe(out) != 0)
        return {};
    const long long before = monotonicNs();
    pid_t pid = pulsetest::spawn({program}, out[1]);
    close(out[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(n));
    close(out[0]);
    int status = 0;
    if (pid > 0)
        waitpid(pid, &status, 0);
    std::map<std::string, std::string> values;
    size_t at = 0;
    for (size_t eol; (eol = text.find('\n', at)) != std::string::npos; at = eol + 1) {
        const std::string line = text.substr(at, eol - at);
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    Start s;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !values.count("first_paint_clock_ns"))
        return s;
    s.execToPaintMs = (std::stoll(values["first_paint_clock_ns"]) - before) / 1e6;
    s.peakMb = std::stod(values["peak_mb"]);
    return s;
}

bool waitFor(const std::string& path)
{
    struct stat st{};
    for (int i = 0; i < 500; ++i) {
        if (stat(path.c_str(), &st) == 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int pairs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::string dir = QCoreApplication::applicationDirPath().toStdString();
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        std::fprintf(stderr, "startup_bench: Xvfb is needed\n");
        return 2;
    }
    // Every child's environment, the sound server's included, is set first.
    pulsetest::Server sound; // points the children at it, started or not
    // A display of our own: the first number no server holds.
    int display = 90;
    while (access(("/tmp/.X" + std::to_string(display) + "-lock").c_str(), F_OK) == 0)
        ++display;
    const std::string name = ":" + std::to_string(display);
    pid_t xserver = pulsetest::spawn({"Xvfb", name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    if (!waitFor("/tmp/.X11-unix/X" + std::to_string(display))) {
        std::fprintf(stderr, "startup_bench: Xvfb did not start\n");
        pulsetest::end(xserver);
        return 2;
    }
    setenv("DISPLAY", name.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    pid_t manager = -1;
    const bool managed = !QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty();
    if (managed) {
        manager = pulsetest::spawn({"openbox"});
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    const bool withSound = pulsetest::Server::installed() && sound.start();
    if (!withSound)
        setenv("SDL_AUDIODRIVER", "dummy", 1);

    std::vector<double> ours, bare, oursMb, bareMb;
    for (int i = 0; i < pairs; ++i) {
        // Alternating which goes first, so neither always meets warm caches.
        for (int k = 0; k < 2; ++k) {
            const bool program = (i + k) % 2 == 0;
            const Start s = measure(dir + (program ? "/startup_probe" : "/minimal_window"));
            if (s.execToPaintMs < 0)
                continue;
            (program ? ours : bare).push_back(s.execToPaintMs);
            (program ? oursMb : bareMb).push_back(s.peakMb);
        }
    }
    sound.stop();
    pulsetest::end(manager);
    pulsetest::end(xserver);

    const double t = median(ours), tb = median(bare), m = median(oursMb), mb = median(bareMb);
    std::printf("Xvfb %s, window manager: %s, sound: %s, %zu / %zu starts\n\n", name.c_str(),
                managed ? "openbox" : "none", withSound ? "private PulseAudio" : "dummy driver", ours.size(),
                bare.size());
    std::printf("| start-up (medians) | Chordmoss | bare Qt window | ratio | target |\n|---|---|---|---|---|\n");
    std::printf("| exec to painted window | %.0f ms | %.0f ms | %.2f | <= 1.5 |\n", t, tb, tb > 0 ? t / tb : -1);
    std::printf("| peak memory (VmHWM), every sample decoded | %.1f MiB | %.1f MiB | %.2f | <= 1.6 |\n", m, mb,
                mb > 0 ? m / mb : -1);
    return ours.empty() || bare.empty() ? 1 : 0;
}

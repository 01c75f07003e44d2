#pragma once
// A private PulseAudio server with a null sink, and a recorder of that sink's
// monitor, for listening to the program as a desktop would play it. The
// server runs in its own runtime folder; every process started here is ended
// here. Point the program at it (environment) before its sound starts.
#include <QByteArray>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <atomic>
#include <csignal>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pulsetest {

using Clock = std::chrono::steady_clock;

/// The full path of `program` on PATH (or as given when it holds a slash).
inline std::string onPath(const std::string& program)
{
    if (program.find('/') != std::string::npos)
        return program;
    return QStandardPaths::findExecutable(QString::fromStdString(program)).toStdString();
}

/// Starts a program with its output to `out` (or /dev/null); returns its
/// id, or -1 when it cannot be started (not on PATH).
///
/// The program under test runs in this very process, so starting a program
/// must not disturb it: a fork copies the process's page tables under its
/// memory lock and leaves every page copy-on-write, and the mixing thread,
/// faulting on its own pages meanwhile, stood still for up to 20 ms at each
/// busy process started, which no real desktop's load does to it. A vfork
/// shares the memory until the program starts, so the child only makes
/// system calls on what is prepared here.
inline pid_t spawn(std::vector<std::string> args, int out = -1, const std::string& server = {})
{
    const std::string path = onPath(args.at(0));
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string_view v(*e);
        // The program's latency setting is not the tools'.
        if (!v.starts_with("PULSE_SERVER=") && !v.starts_with("PULSE_LATENCY_MSEC=") && !v.starts_with("HOME="))
            env.emplace_back(v);
    }
    if (!server.empty())
        env.push_back("PULSE_SERVER=" + server);
    if (const char* runtime = getenv("XDG_RUNTIME_DIR")) // the server's cookie stays private too
        env.push_back(std::string("HOME=") + runtime);
    std::vector<char*> argv, envp;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    const pid_t parent = getpid();
    const pid_t pid = path.empty() || null < 0 ? -1 : vfork();
    if (pid == 0) {
        // Busy processes, servers and recorders end with the test or probe,
        // also when it crashes: left behind they would load every later run.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        dup2(null, 0);
        dup2(out >= 0 ? out : null, 1);
        dup2(null, 2);
        execve(path.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    if (null >= 0)
        close(null);
    return pid;
}

inline void end(pid_t& pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (waitpid(pid, nullptr, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

/// Records the null sink's monitor (mono, 16 bit, 44.1 kHz) with the moment
/// each block arrived.
class Recorder {
public:
    static Clock::duration sampleTime(size_t i) { return std::chrono::microseconds(i * 1000000 / 44100); }
    struct Mark {
        size_t end;
        Clock::time_point at;
    };
    explicit Recorder(const std::string& server, int latencyMs)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        m_pid = spawn({"parec", "-d", "out.monitor", "--raw", "--format=s16le", "--rate=44100", "--channels=1",
                       "--latency-msec=" + std::to_string(latencyMs)},
                      fds[1], server);
        close(fds[1]);
        // The recorder is the measuring instrument: real-time, like the
        // server, so that the load being measured does not delay when sound
        // is seen to arrive (where allowed; else it runs as it is).
        sched_param param{};
        param.sched_priority = 5;
        sched_setscheduler(m_pid, SCHED_RR, &param);
        m_reader = std::thread([this, fd = fds[0], param] {
            m_tid = gettid();
            sched_setscheduler(0, SCHED_RR, &param);
            std::vector<short> block(256);
            for (ssize_t n; (n = read(fd, block.data(), block.size() * 2)) > 0;) {
                const auto now = Clock::now();
                const std::lock_guard lock(m_mutex);
                // (an odd byte count cannot happen with 2-byte frames on a pipe of whole writes)
                m_samples.insert(m_samples.end(), block.begin(), block.begin() + n / 2);
                m_marks.push_back({m_samples.size(), now});
            }
            close(fd);
        });
    }
    ~Recorder() { stop(); }
    void stop()
    {
        end(m_pid);
        if (m_reader.joinable())
            m_reader.join();
    }
    /// The reading thread's id.
    pid_t thread() const { return m_tid; }
    size_t size() const
    {
        const std::lock_guard lock(m_mutex);
        return m_samples.size();
    }
    /// The samples recorded from `from` on. (Never the whole recording at
    /// each look: megabytes copied again and again would load the process
    /// being measured.)
    std::vector<short> samples(size_t from) const
    {
        const std::lock_guard lock(m_mutex);
        return {m_samples.begin() + long(std::min(from, m_samples.size())), m_samples.end()};
    }
    /// When the first sample at or above `level` reached the recorder after
    /// `from` (each block's samples timed back from the block's arrival), or
    /// an empty time point.
    Clock::time_point firstSoundAfter(Clock::time_point from, int level = 64) const
    {
        const std::lock_guard lock(m_mutex);
        size_t begin = 0;
        for (const Mark& m : m_marks) {
            for (size_t i = begin; i < m.end; ++i) {
                const auto at = m.at - sampleTime(m.end - i);
                if (at >= from && std::abs(m_samples[i]) >= level)
                    return at;
            }
            begin = m.end;
        }
        return {};
    }

private:
    pid_t m_pid = -1;
    std::atomic<pid_t> m_tid{0};
    std::thread m_reader;
    mutable std::mutex m_mutex;
    std::vector<short> m_samples;
    std::vector<Mark> m_marks;
};

/// The server: a null sink "out" recorded from the start, then opened to the
/// program on the socket its environment names.
class Server {
public:
    static bool installed()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()
               && !QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty();
    }
    /// Points this process's sound at the server (started or not).
    Server()
    {
        m_public = QDir(m_dir.path()).filePath(QStringLiteral("native")).toStdString();
        m_private = "unix:" + QDir(m_dir.path()).filePath(QStringLiteral("tools")).toStdString();
        qputenv("XDG_RUNTIME_DIR", m_dir.path().toUtf8());
        qputenv("PULSE_RUNTIME_PATH", m_dir.path().toUtf8());
        qputenv("PULSE_SERVER", ("unix:" + m_public).c_str());
        qunsetenv("SDL_AUDIODRIVER");
    }
    ~Server() { stop(); }
    /// Starts the server and a recorder asking for `latencyMs` blocks (no
    /// less than the program asks for: the sink follows the smallest request,
    /// and a smaller one would change what is measured); returns once the
    /// program can connect.
    bool start(int latencyMs = 20)
    {
        // As root it warns and runs all the same.
        m_pid = spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "-L", "module-null-sink sink_name=out rate=44100", "-L",
                       "module-native-protocol-unix auth-anonymous=1 socket=" + m_private.substr(5)});
        if (!run({"pactl", "info"}, 500))
            return false;
        // The server's main thread carries every client's stream between
        // the client and the sink threads, and PulseAudio gives it only a
        // raised nice level (its sink threads get real-time): with ordinary
        // busy processes at twice the cores it was held up for tens of
        // milliseconds and the streams of every client ran dry, whatever the
        // client did. Measured against is a server whose stream path runs in
        // real time, as PipeWire's does; where that is not allowed, the
        // server runs as it started.
        sched_param param{};
        param.sched_priority = 5; // PulseAudio's own real-time priority
        sched_setscheduler(m_pid, SCHED_RR, &param);
        // A fresh null sink keeps its first latency (2 s) for one round: the
        // recorder runs until the monitor flows before the program may come.
        m_recorder = std::make_unique<Recorder>(m_private, latencyMs);
        for (int i = 0; i < 400 && m_recorder->size() < 4410; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return run({"pactl", "load-module", "module-native-protocol-unix", "auth-anonymous=1", "socket=" + m_public}, 1);
    }
    void stop()
    {
        end(m_pid);
        m_recorder.reset();
    }
    bool running() const { return m_recorder != nullptr; }
    Recorder& recorder() { return *m_recorder; }

private:
    bool run(std::vector<std::string> args, int tries)
    {
        for (int i = 0; i < tries; ++i) {
            pid_t pid = spawn(args, -1, m_private);
            if (pid < 0) // not installed: no child to wait for (and -1 would wait for any)
                return false;
            int status = 0;
            waitpid(pid, &status, 0);
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    QTemporaryDir m_dir;
    std::string m_public, m_private;
    pid_t m_pid = -1;
    std::unique_ptr<Recorder> m_recorder;
};

/// Runs of digital silence inside sound: `minRun` to `maxRun` zero samples
/// with sound (above -40 dBFS) within 20 ms on both sides.
inline std::vector<int> gaps(const std::vector<short>& x, long minRun = 32, long maxRun = 1L << 40)
{
    std::vector<int> out;
    const int near = 882;
    auto loud = [&](long from, long to) {
        for (long i = std::max(0L, from); i < std::min(long(x.size()), to); ++i)
            if (std::abs(x[i]) > 328)
                return true;
        return false;
    };
    for (long i = 0; i < long(x.size());) {
        long j = i;
        while (j < long(x.size()) && x[j] == 0)
            ++j;
        if (j - i >= minRun && j - i <= maxRun && loud(i - near, i) && loud(j, j + near))
            out.push_back(int(j - i));
        i = j > i ? j : i + 1;
    }
    return out;
}

/// Keeps every core busy while it lives: `perCore` ordinary busy processes
/// for each core.
class Load {
public:
    explicit Load(int perCore = 1)
    {
        for (unsigned i = 0; i < perCore * std::max(2u, std::thread::hardware_concurrency()); ++i)
            m_pids.push_back(spawn({"yes"}));
    }
    ~Load()
    {
        for (pid_t& p : m_pids)
            end(p);
    }

private:
    std::vector<pid_t> m_pids;
};

} // namespace pulsetest

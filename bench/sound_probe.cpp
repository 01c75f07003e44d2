// Sound as a desktop plays it, in a fresh process against a private
// PulseAudio server with a null sink recorded from its monitor: the cost of a
// move event over a string while there is no server (every note asks for the
// device again), then the time from a note's start to its first sample at the
// sink, with the device open and from idle (device closed), on a quiet machine
// and with ordinary busy processes at twice and four times the cores, and the
// dropouts heard meanwhile. Prints
// name=value lines; prints nothing where pulseaudio is not installed.
#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "Form1.h"
#include "playstring.h"
#include "pulseserver.h"
#include "samplemixer.h"
#include "stringplayer.h"

using namespace chordmoss;
using namespace pulsetest;
using namespace std::chrono_literals;

namespace {

void report(const char* name, std::vector<double> ms)
{
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    std::printf("%s_median_ms=%.2f\n%s_worst_ms=%.2f\n%s_count=%zu\n", name, ms[ms.size() / 2], name, ms.back(), name,
                ms.size());
}

/// Plays string 1 `n` times, each after `before` of silence; returns the
/// milliseconds from each start to its first sample at the sink (a note
/// never heard counts as 1000).
std::vector<double> notes(Form1& f, Server& server, int n, std::chrono::milliseconds before, bool fromIdle)
{
    std::vector<double> out;
    for (int i = 0; i < n; ++i) {
        f.players()[1]->stop();
        std::this_thread::sleep_for(before);
        for (int w = 0; fromIdle && w < 500 && SampleMixer::instance().deviceOpen(); ++w)
            std::this_thread::sleep_for(10ms);
        const auto t0 = Clock::now();
        PlayString(f.module(), f.board(), f.players(), 1);
        std::this_thread::sleep_for(300ms);
        const auto heard = server.recorder().firstSoundAfter(t0);
        out.push_back(heard == Clock::time_point{} ? 1000.0
                                                   : std::chrono::duration<double, std::milli>(heard - t0).count());
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (!Server::installed())
        return 0;
    Server server; // not started yet: no sound server
    QApplication app(argc, argv);
    Form1 f;
    SampleMixer::instance().waitForPreload();

    // Moves in and out of string 1's strip for two seconds.
    int moves = 0;
    const auto m0 = Clock::now();
    while (Clock::now() - m0 < 2s) {
        f.Image1_MouseMove(0, 0, 4000, 2550);
        f.Image1_MouseMove(0, 0, 4000, 2600);
        moves += 2;
    }
    const double moveUs = std::chrono::duration<double, std::micro>(Clock::now() - m0).count() / moves;
    std::printf("missing_move_us=%.2f\nmissing_open_attempts=%d\n", moveUs, SampleMixer::instance().failedOpens());

    if (!server.start())
        return 1;
    // Between notes the probe leaves 150 ms or more of silence: runs of
    // zeros up to 100 ms long inside sound are dropouts.
    auto dropouts = [&](size_t from) {
        return gaps(server.recorder().samples(from), 32, 4410).size();
    };
    notes(f, server, 1, 150ms, false); // opens the device and its stream
    size_t from = server.recorder().size();
    report("open", notes(f, server, 30, 150ms, false));
    report("idle", notes(f, server, 6, 2500ms, true));
    std::printf("quiet_dropouts=%zu\n", dropouts(from));
    for (const int perCore : {2, 4}) { // ordinary busy processes at twice and four times the cores
        const Load load(perCore);
        const std::string busy = "busy" + std::to_string(perCore);
        from = server.recorder().size();
        report((busy + "_open").c_str(), notes(f, server, 20, 150ms, false));
        report((busy + "_idle").c_str(), notes(f, server, 3, 2500ms, true));
        std::printf("%s_dropouts=%zu\n", busy.c_str(), dropouts(from));
    }
    return 0;
}

// Sound on SDL's dummy output: from PlayString to the sample's first frame in
// the mixer's output with the device open, and the cost of a mouse move over
// the strings while they ring (each string restarted only once it has ended).
// Through a real sound server: sound_probe, run in a fresh process.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <chrono>
#include <thread>

#include "Form1.h"
#include "playstring.h"
#include "samplemixer.h"
#include "stringplayer.h"

using namespace chordmoss;

static void BM_PlayStringLatency(benchmark::State& state)
{
    Form1 f;
    SampleMixer& mixer = SampleMixer::instance();
    mixer.waitForPreload();
    PlayString(f.module(), f.board(), f.players(), 1); // opens the device
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        PlayString(f.module(), f.board(), f.players(), 1);
        auto first = mixer.firstFrameTime(0);
        while (first.time_since_epoch().count() == 0 && std::chrono::steady_clock::now() - t0 < std::chrono::seconds(1)) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
            first = mixer.firstFrameTime(0);
        }
        state.SetIterationTime(std::chrono::duration<double>(first - t0).count());
    }
}
BENCHMARK(BM_PlayStringLatency)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);

// E minor: all six strings sound; the first sweep starts them, later moves
// find them ringing and restart only those that have ended.
static void BM_MouseMoveOverRingingStrings(benchmark::State& state)
{
    Form1 f;
    f.findChild<QObject*>(QStringLiteral("Combo1"))->setProperty("Text", QStringLiteral("E "));
    f.findChild<QObject*>(QStringLiteral("Combo2"))->setProperty("Text", QStringLiteral("Min "));
    f.RunIt();
    f.RunIt();
    SampleMixer::instance().waitForPreload();
    double y = 2500;
    for (auto _ : state) {
        f.Image1_MouseMove(0, 0, 4000, y);
        y = y >= 3250 ? 2500 : y + 15;
    }
}
BENCHMARK(BM_MouseMoveOverRingingStrings)->Unit(benchmark::kMicrosecond);

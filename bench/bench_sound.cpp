// Sound: from PlayString to the sample's first frame in the mixer's output.
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
    PlayString(f.module(), f.board(), f.players(), 1); // decoded and cached
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

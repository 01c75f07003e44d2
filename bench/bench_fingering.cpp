// The voicing finder: every playable voicing of a chord, found and ranked.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "chordformulas.h"
#include "voicingfinder.h"

using namespace chordmoss;

static void BM_VoicingsOfCMajor(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(FindVoicings({3, 0}).size());
}
BENCHMARK(BM_VoicingsOfCMajor)->Unit(benchmark::kMillisecond);

static void BM_VoicingsOfAllChords(benchmark::State& state)
{
    for (auto _ : state) {
        for (int root = 0; root < 12; ++root) {
            for (int type = 0; type < int(ChordFormulas.size()); ++type)
                benchmark::DoNotOptimize(FindVoicings({root, type}).size());
        }
    }
}
BENCHMARK(BM_VoicingsOfAllChords)->Unit(benchmark::kMillisecond);

/// Each of the 756 chords timed on its own (the best of five runs): the
/// median and the worst, and what the finder finds over them all.
void PrintVoicingFigures()
{
    std::vector<double> best(12 * ChordFormulas.size(), 1e9);
    long voicings = 0, barred = 0, empty = 0;
    for (int run = 0; run < 5; ++run) {
        for (int root = 0; root < 12; ++root) {
            for (int type = 0; type < int(ChordFormulas.size()); ++type) {
                const auto start = std::chrono::steady_clock::now();
                const std::vector<ChordVoicing> found = FindVoicings({root, type});
                const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                double& slot = best[std::size_t(root) * ChordFormulas.size() + std::size_t(type)];
                slot = std::min(slot, ms);
                if (run == 0) {
                    voicings += long(found.size());
                    empty += found.empty();
                    barred += std::count_if(found.begin(), found.end(),
                                            [](const ChordVoicing& v) { return v.hand.barreCount > 0; });
                }
            }
        }
    }
    const auto worst = std::max_element(best.begin(), best.end());
    const std::size_t at = std::size_t(worst - best.begin());
    std::vector<double> sorted = best;
    std::sort(sorted.begin(), sorted.end());
    std::printf("| voicings of one chord, found and ranked: median / worst of 756 (%s on root %zu) | %.3f / %.3f ms | < 2 ms |\n",
                std::string(ChordFormulas[at % ChordFormulas.size()].key).c_str(), at / ChordFormulas.size(),
                sorted[sorted.size() / 2], *worst);
    std::printf("| voicings of all 756 chords: in all / with a barre / chords with none | %ld / %ld / %ld | |\n", voicings,
                barred, empty);
}

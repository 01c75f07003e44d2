// The voicing engine without any window.
#include <benchmark/benchmark.h>

#include "chordformulas.h"
#include "fretboardstate.h"
#include "module1.h"
#include "notetables.h"
#include "runit.h"

using namespace chordmoss;

static void BM_RunIt(benchmark::State& state)
{
    Module1 m;
    FretboardState board;
    const ChordChoice choice{"A ", "7th ", "5 ", 0, 0};
    Init(m, choice.root);
    for (auto _ : state) {
        RunIt(m, choice, board);
        benchmark::DoNotOptimize(board.text1.data());
    }
}
BENCHMARK(BM_RunIt);

// Every root and type, with the root change run twice as the window does.
static void BM_WalkAllChords(benchmark::State& state)
{
    Module1 m;
    FretboardState board;
    ChordChoice choice;
    Init(m, choice.root);
    for (auto _ : state) {
        for (std::string_view root : kChromaticFromA) {
            choice.root = std::string(root);
            RunIt(m, choice, board);
            RunIt(m, choice, board);
            for (const ChordFormula& f : ChordFormulas) {
                choice.type = std::string(f.key);
                RunIt(m, choice, board);
            }
        }
        benchmark::DoNotOptimize(board.text1.data());
    }
}
BENCHMARK(BM_WalkAllChords)->Unit(benchmark::kMillisecond);

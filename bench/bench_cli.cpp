// The command line as a script meets it: whole processes, from the spawn to
// the exit, beside `true` for the cost of starting any process at all.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace {

/// Starts `argv` with its output thrown away and waits for it.
void runProcess(benchmark::State& state, std::vector<const char*> argv)
{
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        if (posix_spawnp(&pid, argv[0], &quiet, nullptr, const_cast<char**>(argv.data()), environ) != 0
            || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
            state.SkipWithError("the process failed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&quiet);
}

void BM_ProcessTrue(benchmark::State& state) { runProcess(state, {"true"}); }
void BM_ProcessChord(benchmark::State& state) { runProcess(state, {CHORDMOSS_BINARY, "chord", "C", "Maj"}); }
void BM_ProcessName(benchmark::State& state) { runProcess(state, {CHORDMOSS_BINARY, "name", "x32010"}); }
// One note: a long listing (256 chords), and the walk tries all 756.
void BM_ProcessFind(benchmark::State& state) { runProcess(state, {CHORDMOSS_BINARY, "find", "C"}); }
// Chord symbols: every type's spellings listed; a listed spelling, and one built from its parts.
void BM_ProcessTypes(benchmark::State& state) { runProcess(state, {CHORDMOSS_BINARY, "types", "--format", "json"}); }
void BM_ProcessSymbol(benchmark::State& state) { runProcess(state, {CHORDMOSS_BINARY, "chord", "F#m7b5", "3"}); }
void BM_ProcessBuiltSymbol(benchmark::State& state) { runProcess(state, {CHORDMOSS_BINARY, "chord", "F#mi7(+5)"}); }

// A chord with six notes, among the slowest to voice, listed whole.
void BM_ProcessVoicings(benchmark::State& state) { runProcess(state, {CHORDMOSS_BINARY, "voicings", "Db", "Min13"}); }

// One chord box as a PNG file, as the help's example writes it (handed to the
// drawing program, which paints with Qt Gui alone).
void BM_ProcessPng(benchmark::State& state)
{
    runProcess(state, {CHORDMOSS_BINARY, "name", "3", "x", "0", "0", "0", "3", "--format", "png", "--size", "300", "-o",
                       "/tmp/chordmoss-bench.png"});
}

// A song's sixteen chords on one PDF page (through the drawing program).
void BM_ProcessSheetPdf(benchmark::State& state)
{
    runProcess(state, {CHORDMOSS_BINARY, "sheet", "C", "G/B", "Am7", "Fmaj7", "Dm7", "G7", "Em", "A7", "D", "Bm7b5",
                       "E7#9", "F#m", "Bb/D", "Cadd9", "Gsus4", "Ab", "-f", "pdf"});
}

BENCHMARK(BM_ProcessTrue)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessChord)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessName)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessFind)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessTypes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessSymbol)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessBuiltSymbol)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessVoicings)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessPng)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessSheetPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

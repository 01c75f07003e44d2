// One benchmark program for the whole project. The core benchmarks need no
// window; the window benchmarks share one QApplication (offscreen). After
// the runs, one summary table of the figures that matter, with targets.
#include <QApplication>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

/// The console report, plus each benchmark's median in milliseconds.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medianMs;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.aggregate_name == "median")
                medianMs[r.run_name.function_name] =
                    r.GetAdjustedRealTime() * benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond)
                    / benchmark::GetTimeUnitMultiplier(r.time_unit);
        }
    }
};

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

/// Start-up and peak memory of fresh processes: medians of `runs` starts.
std::pair<double, double> startupFigures(int runs)
{
    std::vector<double> paint, peak;
    const QString probe = QCoreApplication::applicationDirPath() + QStringLiteral("/startup_probe");
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.start(probe, {});
        if (!p.waitForFinished(30000))
            continue;
        for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
            if (line.startsWith("first_paint_ms="))
                paint.push_back(line.mid(15).toDouble());
            if (line.startsWith("peak_mb="))
                peak.push_back(line.mid(8).toDouble());
        }
    }
    return {median(paint), median(peak)};
}

/// name=value lines of the sound probe (sound through a private PulseAudio
/// server, in a fresh process); empty without pulseaudio.
std::map<std::string, double> soundFigures()
{
    std::map<std::string, double> out;
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/sound_probe"), {});
    if (!p.waitForFinished(300000))
        return out;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            out[line.left(eq).toStdString()] = line.mid(eq + 1).toDouble();
    }
    return out;
}

} // namespace

void PrintVoicingFigures();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    args.push_back(repetitions.data());
    args.push_back(aggregates.data());
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto [paintMs, peakMb] = startupFigures(9);
    auto ms = [&](const char* name) {
        const auto it = reporter.medianMs.find(name);
        return it == reporter.medianMs.end() ? -1.0 : it->second;
    };
    std::printf("\n| measure (median) | value | target |\n|---|---|---|\n");
    std::printf("| voicing engine: RunIt once | %.2f us | |\n", ms("BM_RunIt") * 1000);
    std::printf("| core walk of all 756 chords | %.2f ms | < 2 ms |\n", ms("BM_WalkAllChords"));
    PrintVoicingFigures();
    std::printf("| `chordmoss voicings Db Min13`, whole process | %.1f ms | < 30 ms |\n", ms("BM_ProcessVoicings"));
    std::printf("| `chordmoss sheet` of 16 chords as PDF, whole process | %.1f ms | < 300 ms |\n", ms("BM_ProcessSheetPdf"));
    std::printf("| type chosen from the list to finished display | %.1f us | |\n", ms("BM_TypeSelectionToDisplay") * 1000);
    std::printf("| worst-case search (756 candidates, Not Found) | %.2f ms | < 25 ms |\n", ms("BM_SearchNotFound"));
    std::printf("| start-up to first painted frame (fresh process) | %.1f ms | < 400 ms |\n", paintMs);
    std::printf("| peak memory, all samples decoded | %.1f MB | < 80 MB |\n", peakMb);

    // The command line, whole processes, beside `true`.
    std::printf("| `true`, whole process, for scale | %.1f ms | |\n", ms("BM_ProcessTrue"));
    std::printf("| `chordmoss chord C Maj`, whole process | %.1f ms | < 30 ms |\n", ms("BM_ProcessChord"));
    std::printf("| `chordmoss name x32010`, whole process | %.1f ms | < 30 ms |\n", ms("BM_ProcessName"));
    std::printf("| `chordmoss find C` (256 chords), whole process | %.1f ms | < 50 ms |\n", ms("BM_ProcessFind"));
    std::printf("| `chordmoss types --format json`, whole process | %.1f ms | < 30 ms |\n", ms("BM_ProcessTypes"));
    std::printf("| `chordmoss chord F#m7b5 3` (a listed symbol), whole process | %.1f ms | < 30 ms |\n", ms("BM_ProcessSymbol"));
    std::printf("| `chordmoss chord F#mi7(+5)` (a symbol built from its parts), whole process | %.1f ms | < 30 ms |\n",
                ms("BM_ProcessBuiltSymbol"));
    std::printf("| sound latency, PlayString to first frame mixed (dummy output, device open) | %.2f ms | < 10 ms |\n",
                ms("BM_PlayStringLatency"));
    std::printf("| mouse move over the strings, all muted | %.2f us | < 50 us |\n", ms("BM_MouseMoveOverStrings") * 1000);
    std::printf("| mouse move over the strings, all ringing | %.2f us | < 50 us |\n",
                ms("BM_MouseMoveOverRingingStrings") * 1000);
    const auto sound = soundFigures();
    auto fig = [&](const char* name) {
        const auto it = sound.find(name);
        return it == sound.end() ? -1.0 : it->second;
    };
    std::printf("| move event over a string while the sound server is missing | %.2f us | < 50 us |\n",
                fig("missing_move_us"));
    std::printf("| click to first sample at a PulseAudio sink, device open (median / worst) | %.1f / %.1f ms | <= 15 ms |\n",
                fig("open_median_ms"), fig("open_worst_ms"));
    std::printf("| the same from idle, device closed (median / worst) | %.1f / %.1f ms | <= 15 ms |\n",
                fig("idle_median_ms"), fig("idle_worst_ms"));
    for (const char* load : {"busy2", "busy4"}) {
        const std::string b = load;
        std::printf("| the same with busy processes at %s times the cores, open / idle (medians) | %.1f / %.1f ms | <= 15 ms |\n",
                    b == "busy2" ? "two" : "four", fig((b + "_open_median_ms").c_str()), fig((b + "_idle_median_ms").c_str()));
    }
    std::printf("| dropouts heard at the sink, quiet / 2x / 4x the cores busy | %.0f / %.0f / %.0f | 0 |\n",
                fig("quiet_dropouts"), fig("busy2_dropouts"), fig("busy4_dropouts"));
    return 0;
}

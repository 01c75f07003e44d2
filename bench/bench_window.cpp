// The window: a type chosen from the list through the finished display
// update, the worst-case search, the cost of a mouse move over the strings.
// (Start-up is measured in fresh processes, by startup_probe.)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>

#include "Form1.h"
#include "controls.h"

using namespace chordmoss;


static void BM_TypeSelectionToDisplay(benchmark::State& state)
{
    Form1 f;
    auto* combo2 = f.findChild<QObject*>(QStringLiteral("Combo2"));
    int t = 0;
    for (auto _ : state) {
        combo2->setProperty("ListIndex", t);
        f.syncDisplay();
        t = (t + 1) % 63;
    }
}
BENCHMARK(BM_TypeSelectionToDisplay)->Unit(benchmark::kMicrosecond);

// "Cb " is in no chord: the walk selects all 756 candidates.
static void BM_SearchNotFound(benchmark::State& state)
{
    Form1 f;
    f.show();
    QApplication::processEvents();
    f.findChild<QLineEdit*>(QStringLiteral("Search1_0"))->setText(QStringLiteral("Cb "));
    for (auto _ : state) {
        if (f.walkSearch(true))
            state.SkipWithError("found a chord");
        f.syncDisplay();
    }
}
BENCHMARK(BM_SearchNotFound)->Unit(benchmark::kMillisecond);

// Moves across the strings beside the pickup with every string muted (the
// handler's tests run, nothing plays), and outside the strum band. The path
// with ringing strings is BM_MouseMoveOverRingingStrings.
static void BM_MouseMoveOverStrings(benchmark::State& state)
{
    Form1 f;
    f.findChild<QObject*>(QStringLiteral("Combo2"))->setProperty("Text", QStringLiteral("none"));
    f.RunIt(); // all strings muted: the handler's tests run, nothing plays
    double y = 2500;
    for (auto _ : state) {
        f.Image1_MouseMove(0, 0, 4000, y);
        y = y >= 3250 ? 2500 : y + 15;
    }
}
BENCHMARK(BM_MouseMoveOverStrings)->Unit(benchmark::kMicrosecond);

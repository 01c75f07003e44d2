// Random sequences of user actions against the main window and the volume
// window, with the display's invariants checked after every action.
//
// Built with clang's libFuzzer (make fuzz). Each input is a script: every
// action takes a selector byte and its arguments from the input.

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Form1.h"
#include "Form2.h"
#include "chordformulas.h"
#include "controls.h"
#include "fretboardstate.h"
#include "module1.h"
#include "notetables.h"

using namespace chordmoss;

namespace {

QApplication* app = nullptr;

[[noreturn]] void fail(const char* what, int s)
{
    std::fprintf(stderr, "invariant broken: %s (string %d)\n", what, s);
    std::abort();
}

/// Every visible dot on a fret column, each note at most once in the listing,
/// and every shown caption naming the note of its dot's fret.
void checkInvariants(Form1& f)
{
    const Module1& m = f.module();
    const FretboardState& b = f.board();
    for (int s = 1; s <= 6; ++s) {
        const StringGroup& g = b.string(s);
        const int fret = DotFret(m, b, s);
        if (g.dotVisible && fret < 0)
            fail("visible dot off the fret columns", s);
        if (g.labelVisible && fret >= 0) {
            const std::string_view note = m.stringNotes(s)[fret].view();
            const std::string& c = g.caption;
            if (c.size() < note.size() || c.compare(c.size() - note.size(), note.size(), note) != 0)
                fail("caption does not name the dot's note", s);
        }
    }
    for (std::string_view note : kChromaticFromA) {
        const std::string entry = "-" + std::string(note);
        const std::size_t first = b.text1.find(entry);
        if (first != std::string::npos && b.text1.find(entry, first + 1) != std::string::npos)
            fail("a note listed twice", 0);
    }
}

std::string someText(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return std::string(kChromaticFromA[in.ConsumeIntegralInRange(0, 11)]);
    case 1: return std::string(ChordFormulas[in.ConsumeIntegralInRange(0, 62)].key);
    case 2: return std::to_string(in.ConsumeIntegralInRange(-20, 40));
    default: return in.ConsumeRandomLengthString(300);
    }
}

double someCoordinate(FuzzedDataProvider& in, double lo, double hi)
{
    return in.ConsumeBool() ? in.ConsumeFloatingPointInRange(lo, hi) : in.ConsumeFloatingPoint<double>();
}

int someButton(FuzzedDataProvider& in)
{
    static const int buttons[] = {1, 2, 4, 3, 0, 7};
    return buttons[in.ConsumeIntegralInRange(0, 5)];
}

QObject* child(Form1& f, const char* name) { return f.findChild<QObject*>(QString::fromLatin1(name)); }

void act(Form1& f, FuzzedDataProvider& in)
{
    const int s = in.ConsumeIntegralInRange(1, 6);
    StringGroup& g = f.board().string(s);
    static const char* combos[] = {"Combo1", "Combo2", "Combo3"};
    switch (in.ConsumeIntegralInRange(0, 15)) {
    case 0: // typing into a combo's edit field
        child(f, combos[in.ConsumeIntegralInRange(0, 2)])->setProperty("Text", QString::fromStdString(someText(in)));
        break;
    case 1: // choosing from a list
        child(f, combos[in.ConsumeIntegralInRange(0, 2)])->setProperty("ListIndex", in.ConsumeIntegralInRange(-2, 70));
        break;
    case 2:
        child(f, "Check1")->setProperty("Value", in.ConsumeIntegralInRange(0, 1));
        break;
    case 3:
        child(f, "AltChords")->setProperty("Value", in.ConsumeIntegralInRange(0, 1));
        f.AltChords_Click();
        break;
    case 4: // a press on a shown note label
        if (g.labelVisible)
            QMetaObject::invokeMethod(&f, QStringLiteral("Label%1_MouseDown").arg(s + 1).toLatin1().constData(),
                                      Q_ARG(int, someButton(in)), Q_ARG(int, 0),
                                      Q_ARG(double, someCoordinate(in, -10, 1000)), Q_ARG(double, 0.0));
        break;
    case 5: { // a shown "<" or ">" button
        const bool less = in.ConsumeBool();
        if (less ? g.lessVisible : g.moreVisible)
            QMetaObject::invokeMethod(&f, QStringLiteral("Label%1_Click").arg(13 + 2 * s + (less ? 0 : 1)).toLatin1().constData());
        break;
    }
    case 6: // the neck, the knob, anywhere on the picture
        f.Image1_MouseDown(someButton(in), 0, someCoordinate(in, 5000, 12000), someCoordinate(in, 2000, 4500));
        break;
    case 7: // strumming
        f.Image1_MouseMove(someButton(in), 0, someCoordinate(in, 3000, 5600), someCoordinate(in, 2400, 3300));
        break;
    case 8: { // typing a note, then leaving the box
        const int box = in.ConsumeIntegralInRange(0, 4);
        f.findChild<QLineEdit*>(QStringLiteral("Search1_%1").arg(box))->setText(QString::fromStdString(someText(in)));
        f.Search1_LostFocus(box);
        break;
    }
    case 9: f.Command1_Click(); break;
    case 10: f.Command2_Click(); break;
    case 11: f.Command3_Click(); break;
    case 12: f.Command4_Click(); break;
    case 13: f.Timer1_Timer(); break;
    case 14: // the volume slider
        if (Form2* w = f.volumeWindow())
            w->Picture1_MouseMove(someButton(in), 0, someCoordinate(in, -20, 200), 10);
        break;
    default:
        if (Form2* w = f.volumeWindow())
            w->Command1_Click();
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    app = new QApplication(*argc, *argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // Message boxes are answered as soon as they come up.
    auto* answer = new QTimer(app);
    answer->setInterval(0);
    QObject::connect(answer, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    answer->start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    Form1 f;
    f.setWaitScale(0.001);
    for (int i = 0; i < 48 && in.remaining_bytes() > 0; ++i) {
        act(f, in);
        checkInvariants(f);
    }
    f.syncDisplay();
    return 0;
}

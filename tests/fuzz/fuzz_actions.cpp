// Random sessions of hundreds of user actions against the main window and
// the volume window, with the display's invariants checked after each one.
// Built with clang's libFuzzer (make fuzz). Every action runs from the event
// loop, so one that comes while a Hear waits runs inside it, as a click does:
// Hears nest at real depth (waits shortened), and the windows and the program
// are closed in the middle of them. Meanwhile the sample files in the working
// directory turn bad, vanish or grow, and the audio output stalls.

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <SDL.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "Form1.h"
#include "Form2.h"
#include "chordformulas.h"
#include "fretboardstate.h"
#include "watchedplayer.h"
#include "module1.h"
#include "notetables.h"
#include "samplenames.h"

using namespace chordmoss;
namespace fs = std::filesystem;

namespace {

QApplication* app = nullptr;
bool ending = false; // the session has closed or quit the program

[[noreturn]] void fail(const char* what, int s)
{
    std::fprintf(stderr, "invariant broken: %s (%d)\n", what, s);
    std::abort();
}

/// Every visible dot on a fret column, each note at most once in the listing,
/// every shown caption naming the note of its dot's fret, Hears bounded.
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
    if (f.hearDepth() > Form1::kHearNesting)
        fail("Hears nested past the bound", f.hearDepth());
}

std::string someText(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return std::string(kChromaticFromA[in.ConsumeIntegralInRange(0, 11)]);
    case 1: return std::string(ChordFormulas[in.ConsumeIntegralInRange(0, 62)].key);
    case 2: return std::to_string(in.ConsumeIntegralInRange(-20, 40));
    default: return in.ConsumeRandomLengthString(40);
    }
}

double someCoordinate(FuzzedDataProvider& in, double lo, double hi)
{
    // Whole twips mostly: two bytes each, so an input holds more actions.
    return in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(int(lo), int(hi)) : in.ConsumeFloatingPoint<double>();
}

int someButton(FuzzedDataProvider& in)
{
    static const int buttons[] = {1, 2, 4, 3, 0, 7};
    return buttons[in.ConsumeIntegralInRange(0, 5)];
}

template <typename T = QObject> T* child(QObject* w, const QString& name) { return w->findChild<T*>(name); }

/// A sample file in the working directory, used before the program's own:
/// copied whole, cut short, removed, or grown or replaced with noise.
void touchSample(FuzzedDataProvider& in)
{
    const std::string name(SampleNames[in.ConsumeIntegralInRange<size_t>(0, SampleNames.size() - 1)]);
    std::error_code ec;
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: fs::copy_file(ProgramSampleDir() + name, name, fs::copy_options::overwrite_existing, ec); break;
    case 1: fs::resize_file(name, in.ConsumeIntegralInRange<uintmax_t>(0, 20000), ec); break;
    case 2: fs::remove(name, ec); break;
    default: { // noise up to 32 KB, from a few bytes of the input: the script goes on
        std::ofstream out(name, in.ConsumeBool() ? std::ios::app : std::ios::trunc);
        const std::string noise = in.ConsumeRandomLengthString(16);
        for (int i = in.ConsumeIntegralInRange(1, 2000); i > 0; --i)
            out << noise;
    }
    }
}

void act(Form1& f, FuzzedDataProvider& in)
{
    const int s = in.ConsumeIntegralInRange(1, 6);
    StringGroup& g = f.board().string(s);
    const QString combo = QStringLiteral("Combo%1").arg(in.ConsumeIntegralInRange(1, 3));
    switch (in.ConsumeIntegralInRange(0, 18)) {
    case 0: child(&f, combo)->setProperty("Text", QString::fromStdString(someText(in))); break; // typing
    case 1: child(&f, combo)->setProperty("ListIndex", in.ConsumeIntegralInRange(-2, 70)); break;
    case 2: child(&f, QStringLiteral("Check1"))->setProperty("Value", in.ConsumeIntegralInRange(0, 1)); break;
    case 3:
        child(&f, QStringLiteral("AltChords"))->setProperty("Value", in.ConsumeIntegralInRange(0, 1));
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
        child<QLineEdit>(&f, QStringLiteral("Search1_%1").arg(box))->setText(QString::fromStdString(someText(in)));
        f.Search1_LostFocus(box);
        break;
    }
    case 9: f.Command1_Click(); break;
    case 10: f.Command2_Click(); break;
    case 11: f.Command3_Click(); break;
    case 12: // "Hear", clicked or held down
    case 13: holdHear(child<QPushButton>(&f, QStringLiteral("Command4")), in.ConsumeIntegralInRange(1, 30)); break;
    case 14: f.Timer1_Timer(); break;
    case 15: // the volume slider, its "Close" button, its title bar's close
        if (Form2* w = f.volumeWindow()) {
            const int how = in.ConsumeIntegralInRange(0, 2);
            if (how == 0)
                w->Picture1_MouseMove(someButton(in), 0, someCoordinate(in, -20, 200), 10);
            else
                how == 1 ? child<QPushButton>(w, QStringLiteral("Command1"))->click() : void(w->close());
        }
        break;
    case 16: touchSample(in); break;
    case 17: { // the output device goes away; the next note brings it back
        SDL_Event e{};
        e.type = SDL_AUDIODEVICEREMOVED;
        SDL_PushEvent(&e);
        break;
    }
    default: // now and then, the end: the window's close, a quit, or File > Exit
        if (in.ConsumeIntegralInRange(0, 15) == 0) {
            ending = true;
            const int how = in.ConsumeIntegralInRange(0, 2);
            how == 0 ? void(f.close()) : how == 1 ? QApplication::quit() : child<QAction>(&f, QStringLiteral("Exit"))->trigger();
        }
    }
}

/// Runs one action from the event loop and queues the next, so that actions
/// coming during a Hear's wait run inside it.
struct Session {
    Form1& f;
    FuzzedDataProvider& in;
    int actions = 0;
    void step()
    {
        if (ending)
            return; // the program must now end by itself
        QTimer::singleShot(0, &f, [this] { step(); });
        if (QApplication::activeModalWidget())
            return; // a message box is answered first, as a user must
        if (in.remaining_bytes() == 0 || ++actions > 1000)
            return QCoreApplication::exit(0);
        act(f, in);
        checkInvariants(f);
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    app = new QApplication(*argc, *argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // Sample files come and go in a working directory of the fuzzer's own,
    // removed when the fuzzer ends.
    static char dir[] = "/tmp/chordmoss-fuzz-XXXXXX";
    if (!mkdtemp(dir) || !fs::exists(ProgramSampleDir() + "E6.mp3"))
        std::abort();
    fs::current_path(dir);
    std::atexit([] {
        std::error_code ec;
        fs::remove_all(dir, ec);
    });
    // Message boxes are answered as soon as they come up.
    auto* answer = new QTimer(app);
    QObject::connect(answer, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    answer->start(0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    for (const fs::directory_entry& e : fs::directory_iterator(fs::current_path()))
        fs::remove(e.path());
    ending = false;
    Form1 f{nullptr, watchedPlayers([](int s) {
                if (ending)
                    fail("a string played after the program ended", s);
            })};
    f.setWaitScale(0.002);
    f.show();
    Session session{f, in};
    QTimer::singleShot(0, &f, [&session] { session.step(); });
    QApplication::exec(); // returns once every Hear has returned
    for (int s = 1; s <= 6; ++s) {
        if (ending && f.players()[s]->playState() == StringPlayer::Playing)
            fail("a string sounding after the program ended", s);
    }
    if (f.hearDepth() != 0)
        fail("a Hear still running after the event loop ended", f.hearDepth());
    return 0;
}

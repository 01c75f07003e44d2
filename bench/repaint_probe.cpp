// What a key in the type box and an idle minute cost the window, beside a
// bare window holding only an editable combo box and a label:
//   repaint_probe program|plain
// prints, as name=value lines, the median time from a Down key (alternating
// with Up) to the end of the repaint it causes and to the end of its handler
// (the chord computed, before the display is written and painted), the pixels painted per key
// (all widgets' paint events), and over 5 idle seconds the paint events and
// the process's wake-ups (its threads' voluntary context switches) per second,
// and where a key's time went on average (mean_*: the processor time the
// main thread spent on it, its key events, the calls it posted, the repaint,
// any other event). The pointer rests over the window.
// With REPAINT_DETAIL set, each repaint pass and paint event is listed on
// standard error; with PAINT_TIMES set, the time a key's paint events took
// in each widget (mean µs, as paint_us lines).
// With REPAINT_KEYS_ONLY set, the idle seconds are skipped; REPAINT_GAP_MS
// sets the pause between keys (5 ms unless set); REPAINT_EVICT_MB has each
// pause write over that many MiB, as other programs do between a typist's
// keys (for a cache simulator, with counts zeroed at the function
// repaint_probe_keys_begin).
// With REPAINT_SHOT=prefix, the window as the screen shows it is saved at the
// end, then after each of two more Down keys (prefix-0.png .. prefix-2.png):
// pictures of what the repaints left, to compare across changes to painting.
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPaintEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <map>
#include <vector>

#include "Form1.h"
#include "chordformulas.h"

namespace {

struct PaintCount : QObject {
    long events = 0, pixels = 0;
    const bool detail = qEnvironmentVariableIsSet("REPAINT_DETAIL");
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::UpdateRequest && detail)
            std::fprintf(stderr, "repaint of %s\n", qPrintable(o->objectName()));
        if (e->type() == QEvent::Paint) {
            ++events;
            for (const QRect& r : static_cast<QPaintEvent*>(e)->region())
                pixels += long(r.width()) * r.height();
            if (detail)
                std::fprintf(stderr, "paint %s %s %d,%d %dx%d in %d rects\n", o->metaObject()->className(),
                             qPrintable(o->objectName()), static_cast<QPaintEvent*>(e)->rect().x(),
                             static_cast<QPaintEvent*>(e)->rect().y(), static_cast<QPaintEvent*>(e)->rect().width(),
                             static_cast<QPaintEvent*>(e)->rect().height(),
                             int(static_cast<QPaintEvent*>(e)->region().rectCount()));
        }
        return false;
    }
};

long switches()
{
    long total = 0;
    for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(QStringLiteral("/proc/self/task/%1/status").arg(task));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:")) // a thread that slept and was woken
                total += line.mid(line.indexOf(':') + 1).trimmed().toLong();
    }
    return total;
}

/// Adds up, while `timing` is set, the time each event handled from the event
/// loop takes, its nested events included, by the kind of event.
struct TimedApp : QApplication {
    using QApplication::QApplication;
    bool timing = false;
    std::map<QEvent::Type, double> us;
    /// Time spent in paint events while timing, by the widget's class and
    /// name, with PAINT_TIMES set only: timing each widget's paint costs a
    /// window of many widgets more than one of few.
    const bool paintTimes = qEnvironmentVariableIsSet("PAINT_TIMES");
    std::map<QString, double> paintUs;
    bool notify(QObject* o, QEvent* e) override
    {
        if (timing && m_nested && paintTimes && e->type() == QEvent::Paint) {
            QElapsedTimer t;
            t.start();
            const bool handled = QApplication::notify(o, e);
            const QString widget = QString::fromLatin1(o->metaObject()->className()) + QLatin1Char(' ') + o->objectName();
            paintUs[widget] += t.nsecsElapsed() / 1000.0;
            return handled;
        }
        if (!timing || m_nested)
            return QApplication::notify(o, e);
        m_nested = true;
        QElapsedTimer t;
        t.start();
        const QEvent::Type type = e->type();
        const bool handled = QApplication::notify(o, e);
        us[type] += t.nsecsElapsed() / 1000.0;
        m_nested = false;
        return handled;
    }

private:
    bool m_nested = false;
};

/// Runs the event loop for `ms`, sleeping while nothing happens.
void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

/// Called as the keys begin: a cache simulator's counts can be zeroed here
/// (callgrind --zero-before=repaint_probe_keys_begin), leaving out the first paint.
extern "C" __attribute__((noinline)) void repaint_probe_keys_begin()
{
    asm volatile("");
}

int main(int argc, char** argv)
{
    TimedApp app(argc, argv);
    const bool plain = argc > 1 && QByteArray(argv[1]) == "plain";
    if (qEnvironmentVariableIsSet("REPAINT_SHOT"))
        QApplication::setCursorFlashTime(0); // a steady cursor, the same in every picture
    std::unique_ptr<QMainWindow> window;
    QComboBox* box = nullptr;
    if (plain) {
        window = std::make_unique<QMainWindow>();
        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        box = new QComboBox;
        box->setEditable(true);
        for (const chordmoss::ChordFormula& f : chordmoss::ChordFormulas)
            box->addItem(QString::fromLatin1(f.key.data(), qsizetype(f.key.size())));
        layout->addWidget(box);
        layout->addWidget(new QLabel(QStringLiteral("  1-C   5-G   3-E ")));
        window->setCentralWidget(central);
        window->resize(918, 550);
    } else {
        window = std::make_unique<chordmoss::Form1>();
        box = window->findChild<QComboBox*>(QStringLiteral("Combo2"));
    }
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    settle(1500);
    // The pointer rests over the window, as it does while a guitarist types
    // with the mouse on the window: Qt then asks the window system where
    // the pointer is whenever a widget appears.
    QCursor::setPos(window->mapToGlobal(window->rect().center()));
    box->setFocus();
    settle(500);
    PaintCount count;
    app.installEventFilter(&count);

    // Sends a key press and release to the focused widget.
    const auto sendKey = [box](Qt::Key key) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : box;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier), release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    };
    // Runs the event loop until two passes of it in a row paint nothing: an
    // update posted in one pass is painted in the next.
    const auto paintAll = [&count] {
        for (int idle = 0; idle < 2;) {
            const long before = count.events;
            QApplication::processEvents();
            idle = count.events == before ? idle + 1 : 0;
        }
    };

    app.timing = true;
    std::vector<double> us, handlerUs;
    const int keys = 200;
    const auto threadCpuUs = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
    };
    double cpuUs = 0;
    // The pause between keys: 5 ms unless REPAINT_GAP_MS says otherwise. In
    // the pause other processes run and the caches cool; with no pause each
    // key finds the code and data the last one left in them.
    bool gapSet = false;
    int gapMs = qEnvironmentVariableIntValue("REPAINT_GAP_MS", &gapSet);
    if (!gapSet)
        gapMs = 5;
    // With REPAINT_EVICT_MB set, each pause also writes over that many MiB:
    // the other processes that run between a typist's keys, made the same at
    // every key, for a cache simulator to count what a key then misses.
    std::vector<char> sweep(size_t(std::max(0, qEnvironmentVariableIntValue("REPAINT_EVICT_MB"))) << 20);
    unsigned char stamp = 0;
    repaint_probe_keys_begin();
    for (int i = 0; i < keys; ++i) {
        ++stamp;
        for (size_t at = 0; at < sweep.size(); at += 64)
            sweep[at] = char(stamp);
        const double cpu0 = threadCpuUs();
        QElapsedTimer t;
        t.start();
        sendKey(i % 2 ? Qt::Key_Up : Qt::Key_Down);
        handlerUs.push_back(t.nsecsElapsed() / 1000.0);
        paintAll();
        us.push_back(t.nsecsElapsed() / 1000.0);
        cpuUs += threadCpuUs() - cpu0;
        settle(gapMs);
    }
    app.timing = false;
    std::sort(us.begin(), us.end());
    std::sort(handlerUs.begin(), handlerUs.end());
    const double keyPixels = double(count.pixels) / keys;
    const long keyPaints = count.events;

    // The idle seconds are left out with REPAINT_KEYS_ONLY set (their figures
    // print as 0), for many short runs side by side.
    const bool idle = !qEnvironmentVariableIsSet("REPAINT_KEYS_ONLY");
    settle(idle ? 1000 : 0);
    count.events = count.pixels = 0;
    const long before = switches();
    settle(idle ? 5000 : 0);
    const long woke = switches() - before;
    std::printf("key_to_repaint_us=%.0f\nkey_handled_us=%.0f\nkey_paint_events=%.1f\nkey_pixels=%.0f\nidle_paints_per_s=%.1f\n"
                "idle_pixels_per_s=%.0f\nidle_wakeups_per_s=%.1f\n",
                us[us.size() / 2], handlerUs[handlerUs.size() / 2], double(keyPaints) / keys, keyPixels, count.events / 5.0, count.pixels / 5.0,
                woke / 5.0);
    // Where a key's time went, on average: its own handling, the calls it
    // posted (the display catching up), the repaint, the rest.
    const double keyUs = app.us[QEvent::KeyPress] + app.us[QEvent::KeyRelease];
    const double postedUs = app.us[QEvent::MetaCall], repaintUs = app.us[QEvent::UpdateRequest];
    double allUs = 0;
    for (const auto& [type, t] : app.us)
        allUs += t;
    std::printf("mean_key_cpu_us=%.0f\n", cpuUs / keys);
    std::printf("mean_key_event_us=%.0f\nmean_posted_calls_us=%.0f\nmean_repaint_us=%.0f\nmean_other_events_us=%.0f\n",
                keyUs / keys, postedUs / keys, repaintUs / keys, (allUs - keyUs - postedUs - repaintUs) / keys);

    if (app.paintTimes)
        for (const auto& [name, t] : app.paintUs)
            std::printf("paint_us %s=%.1f\n", qPrintable(name), t / keys);
    if (const QString shot = qEnvironmentVariable("REPAINT_SHOT"); !shot.isEmpty()) {
        for (int i = 0; i < 3; ++i) {
            if (i > 0) {
                sendKey(Qt::Key_Down);
                paintAll();
            }
            QApplication::sync(); // the server holds every flushed pixel
            window->screen()->grabWindow(window->winId()).save(QStringLiteral("%1-%2.png").arg(shot).arg(i));
        }
    }
    return 0;
}

#pragma once
// Shows a window, waits for its first painted frame and prints, as name=value
// lines: the milliseconds from main() to it, the system's monotonic clock at
// it (so a parent that noted the clock before exec gets exec to paint), and
// the process's peak memory once `settle` has returned.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>

#include <cstdio>
#include <ctime>

namespace firstpaint {

class Watch : public QObject {
public:
    qint64 atNs = -1, clockNs = -1;
    QElapsedTimer clock;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && atNs < 0) {
            atNs = clock.nsecsElapsed();
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            clockNs = qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
        }
        return false;
    }
};

/// Returns a /proc/self/status figure in kilobytes ("VmHWM:", "RssAnon:"), or -1.
inline long statusKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray name(field);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(name.size()).trimmed().split(' ').first().toLong();
    }
    return -1;
}

inline long peakKilobytes() { return statusKilobytes("VmHWM:"); }

/// `started` is the clock at the top of main().
template <typename Settle>
int report(QMainWindow& window, Settle settle, const QElapsedTimer* started = nullptr)
{
    Watch watch;
    watch.clock = started ? *started : QElapsedTimer();
    if (!started)
        watch.clock.start();
    window.centralWidget()->installEventFilter(&watch);
    window.show();
    while (watch.atNs < 0 && watch.clock.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    settle();
    // QByteArray::number writes a decimal point whatever the user's locale;
    // printf would write a comma under de_DE and the reader would see 0.
    const auto mb = [](long kb) { return QByteArray::number(kb / 1024.0, 'f', 1); };
    std::printf("first_paint_ms=%s\nfirst_paint_clock_ns=%lld\npeak_mb=%s\nrss_anon_mb=%s\nrss_file_mb=%s\n",
                QByteArray::number(watch.atNs / 1e6, 'f', 2).constData(), static_cast<long long>(watch.clockNs),
                mb(peakKilobytes()).constData(), mb(statusKilobytes("RssAnon:")).constData(),
                mb(statusKilobytes("RssFile:")).constData());
    return watch.atNs < 0 ? 1 : 0;
}

} // namespace firstpaint

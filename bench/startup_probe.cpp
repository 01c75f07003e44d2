// Starts the program's window in a fresh process and reports the time from
// main() to its first painted frame, and the process's peak memory once all
// samples are decoded. Run by the benchmark program.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

#include "Form1.h"
#include "samplemixer.h"
#include "samplenames.h"

namespace {

class FirstPaint : public QObject {
public:
    qint64 at = -1;
    QElapsedTimer* clock = nullptr;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && at < 0)
            at = clock->nsecsElapsed();
        return false;
    }
};

long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    FirstPaint watch;
    watch.clock = &clock;
    chordmoss::Form1 window;
    window.centralWidget()->installEventFilter(&watch);
    window.show();
    while (watch.at < 0 && clock.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    // The samples are decoded after the first frame: all of them count.
    while (chordmoss::SampleMixer::instance().decodedCount() < int(chordmoss::SampleNames.size()) && clock.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    chordmoss::SampleMixer::instance().waitForPreload();
    // QByteArray::number writes a decimal point whatever the user's locale;
    // printf would write a comma under de_DE and the reader would see 0.
    std::printf("first_paint_ms=%s\npeak_mb=%s\n", QByteArray::number(watch.at / 1e6, 'f', 2).constData(),
                QByteArray::number(peakKilobytes() / 1024.0, 'f', 1).constData());
    return 0;
}

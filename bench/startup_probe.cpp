// Starts the program's window in a fresh process and reports its first
// painted frame and the process's peak memory once all samples are decoded
// (firstpaint.h). Run by the benchmark programs.
#include <QApplication>
#include <QElapsedTimer>

#include "Form1.h"
#include "firstpaint.h"
#include "samplemixer.h"
#include "samplenames.h"

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    chordmoss::Form1 window;
    // The samples are decoded after the first frame: all of them count.
    return firstpaint::report(window, [&clock] {
        auto& mixer = chordmoss::SampleMixer::instance();
        while (mixer.decodedCount() < int(chordmoss::SampleNames.size()) && clock.elapsed() < 20000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        mixer.waitForPreload();
    }, &clock);
}

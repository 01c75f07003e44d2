// Starts the program's window in a fresh process and reports its first
// painted frame and the process's peak memory once all samples are decoded
// (firstpaint.h). Run by the benchmark programs.
#include <QApplication>
#include <QElapsedTimer>

#include "Form1.h"
#include "firstpaint.h"
#include "samplemixer.h"

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    chordmoss::Form1 window;
    return firstpaint::report(window, [] { chordmoss::SampleMixer::instance().waitForPreload(); }, &clock);
}

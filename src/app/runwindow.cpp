#include "runwindow.h"

#include <QApplication>
#include <QSocketNotifier>

#include <chrono>
#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include "Form1.h"
#include "samplemixer.h"

namespace chordmoss {

namespace {

int g_signalPipe[2] = {-1, -1};

/// The handler only writes a byte, which the event loop reads and answers
/// by closing the windows. A second signal, if the first did not end the
/// program, ends it at once.
void closeOnSignals()
{
    if (g_signalPipe[0] >= 0 || pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction sa = {};
    sa.sa_handler = [](int) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = write(g_signalPipe[1], &byte, 1);
    };
    sa.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char byte;
        while (read(g_signalPipe[0], &byte, 1) > 0) {
        }
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
}

} // namespace

int RunWindow()
{
    closeOnSignals();
    int status = 0;
    {
        Form1 window;
        window.show();
        status = QApplication::exec();
    }
    // The window is gone and the program writes no files: what is left to
    // flush is standard output and error. The device is the sound server's
    // to clean up.
    if (!SampleMixer::finish(std::chrono::milliseconds(300))) {
        std::fflush(stdout);
        std::fflush(stderr);
        _exit(status);
    }
    return status;
}

} // namespace chordmoss

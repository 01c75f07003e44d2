// Whether the "Please enter a letter" box costs memory that is never given
// back: a digit typed into a search box N times, each box answered at once,
// and the process's resident memory printed every `step` boxes.
//
//   messages_probe [boxes] [step]      (3000 and 300 by default)
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

#include "Form1.h"
#include "samplemixer.h"

namespace {

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int boxes = argc > 1 ? std::atoi(argv[1]) : 3000, step = argc > 2 ? std::atoi(argv[2]) : 300;
    chordmoss::Form1 f;
    f.show();
    chordmoss::SampleMixer::instance().waitForPreload(); // its memory is not the boxes'
    QApplication::processEvents();
    auto* search = f.findChild<QLineEdit*>(QStringLiteral("Search1_0"));
    int shown = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++shown;
            box->done(QMessageBox::Ok);
        }
    });
    answer.start(0);
    std::printf("boxes rss_kb\n0 %ld\n", residentKilobytes());
    for (int i = 1; i <= boxes; ++i) {
        search->setText(QStringLiteral("1"));
        search->clear();
        if (i % step == 0)
            std::printf("%d %ld\n", i, residentKilobytes());
    }
    std::printf("shown %d\n", shown);
    return shown == boxes ? 0 : 1;
}

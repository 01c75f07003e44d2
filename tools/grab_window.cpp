// Saves a picture of the main window as it first appears, or of any image
// file converted to PNG, for looking at the program without a screen.
//
//   grab_window <out.png>            the main window
//   grab_window <out.png> --volume   the volume window, opened by the knob
//   grab_window <out.png> <image>    an image file, converted

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include <cstdio>

#include "Form1.h"
#include "Form2.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: grab_window <out.png> [image]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString option = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (!option.isEmpty() && option != QLatin1String("--volume"))
        return QImage(option).save(out) ? 0 : 1;
    chordmoss::Form1 window;
    window.show();
    QApplication::processEvents();
    window.syncDisplay();
    if (option.isEmpty())
        return window.grab().save(out) ? 0 : 1;
    window.Image1_MouseDown(1, 0, 5700, 4200); // the pictured knob
    QApplication::processEvents();
    return window.volumeWindow()->grab().save(out) ? 0 : 1;
}

// Saves a picture of the main window as it first appears, or of any image
// file converted to PNG, for looking at the program without a screen.
//
//   grab_window <out.png>            the main window
//   grab_window <out.png> <image>    an image file, converted

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include <cstdio>

#include "Form1.h"

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
    if (argc > 2)
        return QImage(QString::fromLocal8Bit(argv[2])).save(out) ? 0 : 1;
    chordmoss::Form1 window;
    window.show();
    QApplication::processEvents();
    window.syncDisplay();
    return window.grab().save(out) ? 0 : 1;
}

// Saves a picture of the main window as it first appears, or of any image
// file converted to PNG, for looking at the program without a screen.
//
//   grab_window <out.png>            the main window
//   grab_window <out.png> --volume   the volume window, opened by the knob
//   grab_window <out.png> --popup    the chord type list, dropped down
//   grab_window <out.png> --menu     the File menu, opened
//   grab_window <out.png> <image>    an image file, converted

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QMenu>
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
    const QStringList windows = {QStringLiteral("--volume"), QStringLiteral("--popup"), QStringLiteral("--menu")};
    if (!option.isEmpty() && !windows.contains(option))
        return QImage(option).save(out) ? 0 : 1;
    chordmoss::Form1 window;
    window.show();
    QApplication::processEvents();
    window.syncDisplay();
    if (option.isEmpty())
        return window.grab().save(out) ? 0 : 1;
    if (option == QLatin1String("--popup")) {
        auto* types = window.findChild<QComboBox*>(QStringLiteral("Combo2"));
        types->showPopup();
        QApplication::processEvents();
        return types->view()->window()->grab().save(out) ? 0 : 1;
    }
    if (option == QLatin1String("--menu")) {
        auto* file = window.findChild<QMenu*>(QStringLiteral("File"));
        file->popup(window.mapToGlobal(QPoint(0, 20)));
        QApplication::processEvents();
        return file->grab().save(out) ? 0 : 1;
    }
    window.Image1_MouseDown(1, 0, 5700, 4200); // the pictured knob
    QApplication::processEvents();
    return window.volumeWindow()->grab().save(out) ? 0 : 1;
}

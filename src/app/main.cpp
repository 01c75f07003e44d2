#include <QApplication>

#include "Form1.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Chordmoss"));
    chordmoss::Form1 window;
    window.show();
    return QApplication::exec();
}

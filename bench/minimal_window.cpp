// The yardstick for start-up: a bare Qt Widgets window with a menu bar and a
// label, started and measured exactly as startup_probe starts the program's.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

#include "firstpaint.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("&Exit"));
    auto* label = new QLabel(QStringLiteral("Chord"), &window);
    window.setCentralWidget(label);
    window.resize(918, 550);
    return firstpaint::report(window, [] {});
}

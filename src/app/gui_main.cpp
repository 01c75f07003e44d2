// The full program: the window, and the command line with PNG chord boxes.
#include <QApplication>

#include <cstdio>

#include "commandline.h"
#include "diagrampng.h"
#include "displayfailure.h"
#include "runwindow.h"
#include "windowdisplay.h"

int main(int argc, char** argv)
{
    // Subcommands, --help and --version never create a window.
    if (chordmoss::WantsCommandLine(argc, argv))
        return chordmoss::RunCommandLine(argc, argv, chordmoss::DiagramPng, chordmoss::DiagramPdf);
    if (const std::string problem = chordmoss::WindowDisplayProblem(argc, argv); !problem.empty()) {
        std::fprintf(stderr, "chordmoss: %s\n", problem.c_str());
        return 1;
    }
    chordmoss::ExitQuietlyWithoutDisplay();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Chordmoss"));
    return chordmoss::RunWindow();
}

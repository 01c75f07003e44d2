// The drawing program: the command line with PNG and PDF painters, linked
// with Qt Gui and the plain core only, so that a chord box is painted without
// loading the window's widgets or the sound libraries.
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

#include "commandline.h"
#include "diagrampng.h"

int main(int argc, char** argv)
{
    const auto app = chordmoss::OffscreenApplication();
    const int code = chordmoss::RunCommandLine(argc, argv, chordmoss::DiagramPng, chordmoss::DiagramPdf);
    // The answer is written and flushed (or the failure said): taking Qt down
    // and unloading its libraries would only cost time.
    std::fflush(nullptr);
    std::_Exit(code);
}

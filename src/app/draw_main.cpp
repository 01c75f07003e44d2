// The drawing program: the command line with PNG and PDF painters, linked
// with Qt Gui and the plain core only, so that a chord box is painted without
// loading the window's widgets or the sound libraries.
#include "commandline.h"
#include "diagrampng.h"

int main(int argc, char** argv)
{
    return chordmoss::RunCommandLine(argc, argv, chordmoss::DiagramPng, chordmoss::DiagramPdf);
}

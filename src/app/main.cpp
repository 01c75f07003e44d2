// The program as started: the command line on the plain core. The window and
// PNG and PDF drawings need Qt's GUI libraries, which take longer to load than
// a chord takes to look up, so they live in the programs this one hands over
// to: the drawing program (Qt Gui alone) and the full program (the window).
#include "commandline.h"
#include "guiprogram.h"
#include "windowdisplay.h"

int main(int argc, char** argv)
{
    if (chordmoss::WantsCommandLine(argc, argv)) {
        const int code = chordmoss::RunCommandLine(argc, argv, nullptr);
        if (code != chordmoss::kNeedsPngPainter)
            return code;
        return chordmoss::RunGuiProgram(argv, chordmoss::kDrawProgram);
    }
    return chordmoss::RunGuiProgram(argv);
}

// The program as started: the command line on the plain core. The window and
// PNG chord boxes need Qt's GUI libraries, which take longer to load than a
// chord takes to look up, so they live in the full program this one hands over to.
#include "commandline.h"
#include "guiprogram.h"
#include "windowdisplay.h"

int main(int argc, char** argv)
{
    if (chordmoss::WantsCommandLine(argc, argv)) {
        const int code = chordmoss::RunCommandLine(argc, argv, nullptr);
        if (code != chordmoss::kNeedsPngPainter)
            return code;
    }
    return chordmoss::RunGuiProgram(argv);
}

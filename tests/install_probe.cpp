// Stands in the installed layout (copied to <prefix>/bin by test_install)
// and reports what the program finds there: the picture, and the sample a
// strummed string plays.
#include <QApplication>

#include <cstdio>

#include "Form1.h"
#include "controls.h"
#include "samplemixer.h"
#include "stringplayer.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    chordmoss::Form1 f;
    auto* picture = f.findChild<chordmoss::PictureControl*>(QStringLiteral("Image1"));
    f.Image1_MouseMove(0, 0, 4000, 2550); // the low E string beside the pickup
    f.Image1_MouseDown(1, 0, 9300, 3000);  // the neck at fret 5
    chordmoss::SampleMixer::instance().waitForPreload(); // the note is decoded off this thread
    std::printf("picture=%d\nicon=%d\nsample=%s\nstate=%d\nposition=%s\n", picture && picture->hasPicture() ? 1 : 0,
                f.windowIcon().pixmap(32).isNull() ? 0 : 1,
                f.players()[1]->url().c_str(), f.players()[1]->playState(),
                qPrintable(f.findChild<QObject*>(QStringLiteral("Combo3"))->property("Text").toString()));
    return 0;
}

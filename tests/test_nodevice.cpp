// With no usable audio device the program runs the same, silently: this
// test runs with an audio driver that does not exist.
#include <QtTest>

#include "Form1.h"
#include "samplemixer.h"
#include "stringplayer.h"

using namespace chordmoss;

class TestNoDevice : public QObject {
    Q_OBJECT
private slots:
    void playsSilently();
};

void TestNoDevice::playsSilently()
{
    QCOMPARE(qgetenv("SDL_AUDIODRIVER"), QByteArray("no-such-driver"));
    Form1 f;
    QVERIFY(SampleMixer::instance().isOpen()); // on the dummy output
    QCOMPARE(f.players()[1]->playState(), 0);
    f.Image1_MouseMove(0, 0, 4000, 2550);
    QCOMPARE(f.players()[1]->playState(), 3);
    f.players()[1]->stop();
    QCOMPARE(f.players()[1]->playState(), 1);
}

QTEST_MAIN(TestNoDevice)
#include "test_nodevice.moc"

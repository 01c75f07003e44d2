// With no usable audio device the program runs the same, silently, and asks
// for the device again at the next note, not at every move: this test runs
// with an audio driver that does not exist.
#include <QtTest>

#include "Form1.h"
#include "samplemixer.h"
#include "stringplayer.h"

using namespace chordmoss;

class TestNoDevice : public QObject {
    Q_OBJECT
private slots:
    void playsSilently()
    {
        QCOMPARE(qgetenv("SDL_AUDIODRIVER"), QByteArray("no-such-driver"));
        Form1 f;
        SampleMixer& mixer = SampleMixer::instance();
        QCOMPARE(f.players()[1]->playState(), int(StringPlayer::Undefined));
        f.Image1_MouseMove(0, 0, 4000, 2550); // the first note finds no device
        QTRY_COMPARE(f.players()[1]->playState(), int(StringPlayer::Stopped));
        QCOMPARE(mixer.failedOpens(), 1);
        // The next, before the device is tried again, waits for it and counts
        // as playing meanwhile; it is lost with the device.
        f.players()[1]->play();
        QCOMPARE(f.players()[1]->playState(), int(StringPlayer::Playing));
        QTRY_COMPARE(f.players()[1]->playState(), int(StringPlayer::Stopped));
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 300)
            f.Image1_MouseMove(0, 0, 4000, clock.elapsed() % 2 ? 2550 : 2600);
        QVERIFY2(mixer.failedOpens() <= 4, qPrintable(QString::number(mixer.failedOpens())));
        QVERIFY(!mixer.deviceOpen());
    }
};

QTEST_MAIN(TestNoDevice)
#include "test_nodevice.moc"

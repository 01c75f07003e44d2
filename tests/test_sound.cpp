// The first Hear of a window whose samples are not decoded yet; sample
// directories, PlayString (the sample of a string's fret, as its dot says)
// and the strum geometry against the core; Hear and strumming through the
// window, logging which notes start; bad and large sample files on the real
// mixer, and its end, which closes the device.
#include "windowtest.h"

#include <sched.h>

#include "controls.h"
#include "module1.h"
#include "playstring.h"
#include "realtimepriority.h"
#include "samplemixer.h"
#include "samplenames.h"
#include "strum.h"
#include "watchedplayer.h"

using namespace chordmoss;
using namespace windowtest;

namespace {

/// The window with the program's players, logging "string:file" for every
/// note they start, and showing root, type and position.
struct SoundWindow {
    QStringList log;
    Form1 f{nullptr, watchedPlayers([this](int s) {
                log << QStringLiteral("%1:").arg(s) + QFileInfo(QString::fromStdString(f.players()[s]->url())).fileName();
            })};
    explicit SoundWindow(const char* root = "C ", const char* type = "Maj ", const char* position = "0")
    {
        choose(f, root, type, position);
    }
    void move(double x, double y) { moveOver(f, x, y, Qt::RightButton); } // any button strums
};

/// The number of decoded samples when a widget is first painted.
struct FirstPaint : QObject {
    int decoded = -1;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && decoded < 0)
            decoded = SampleMixer::instance().decodedCount();
        return false;
    }
};

QStringList words(const char* text) { return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts); }

} // namespace

class TestSound : public QObject {
    Q_OBJECT
private slots:
    void firstHear() // first: nothing has been decoded in this process yet
    {
        Form1 f; // the program's own players
        FirstPaint paint;
        f.centralWidget()->installEventFilter(&paint);
        f.show();
        QTRY_VERIFY(paint.decoded >= 0);
        QCOMPARE(paint.decoded, 0);
        hear(f);
        SampleMixer& mixer = SampleMixer::instance();
        for (int s = 1; s <= 6; ++s) // every string of the chord was handed to the output
            QTRY_COMPARE(mixer.firstFrameTime(s - 1) != std::chrono::steady_clock::time_point(),
                         f.board().string(s).dotVisible);
        // The thread that mixes runs real-time wherever this process may
        // make a thread so.
        bool mayRaise = false;
        std::thread([&] {
            sched_param lowest{};
            lowest.sched_priority = 1;
            mayRaise = sched_setscheduler(0, SCHED_RR, &lowest) == 0;
        }).join();
        if (mayRaise)
            QTRY_COMPARE(mixer.mixingPriority(), int(ThreadPriority::Realtime));
        QCOMPARE(int(raiseAudioThread(0)), int(ThreadPriority::Normal)); // 0 would be the calling thread
    }

    void soundDirectory()
    {
        const std::string build = CHORDMOSS_BUILD_DIR;
        for (const QString& cased : {QString::fromStdString(build).toLower(), QString::fromStdString(build).toUpper()})
            QVERIFY(IsDevDirectory(cased.toStdString()));
        QVERIFY(IsDevDirectory("  " + build + "   ") && !IsDevDirectory(build + "/tests"));
        Module1 m;
        const auto lowE = [&m](const QString& cwd) { // the sample of the open low E, played from cwd
            QDir::setCurrent(cwd);
            SetSoundDir(m);
            return QString::fromStdString(SampleFile(m, 1, 0));
        };
        const QString before = QDir::currentPath(), e6 = QStringLiteral(CHORDMOSS_ASSETS_DIR "/samples/E6.mp3");
        QCOMPARE(lowE(QString::fromStdString(build)), e6);
        QTemporaryDir elsewhere; // counts from the next event
        QCOMPARE(lowE(elsewhere.path()), QStringLiteral("E6.mp3"));
        QVERIFY(SampleFile(m, 6, 30) == "Gb-1.mp3" && SampleFile(m, 1, -5) == "E6.mp3"); // beyond the samples: the last, the first
        // Not there: the program's own sample; there: the file as named.
        QCOMPARE(QString::fromStdString(ResolveSample("E6.mp3")), e6);
        QVERIFY(QFile(elsewhere.filePath(QStringLiteral("E6.mp3"))).open(QIODevice::WriteOnly));
        QCOMPARE(QString::fromStdString(ResolveSample("E6.mp3")), QStringLiteral("E6.mp3"));
        QDir::setCurrent(before);
    }

    void playString_data()
    {
        QTest::addColumn<int>("string");
        QTest::addColumn<int>("fret"); // where the dot is put; -1: on no fret column
        QTest::addColumn<bool>("chordFirst"); // the chord's note played before
        QTest::addColumn<QStringList>("starts");
        QTest::newRow("open G, restarted") << 4 << 0 << true << words("4:G3.mp3 4:G3.mp3");
        QTest::newRow("low E 5 = open A") << 1 << 5 << true << words("1:E6.mp3 1:A5.mp3");
        QTest::newRow("A 1, a flat") << 2 << 1 << false << words("2:Bb5.mp3");
        QTest::newRow("A 14") << 2 << 14 << false << words("2:B2.mp3");
        QTest::newRow("B 14") << 5 << 14 << false << words("5:Db1.mp3");
        QTest::newRow("high E 12, 14") << 6 << 12 << true << words("6:E1.mp3 6:E-1.mp3");
        QTest::newRow("high E 14") << 6 << 14 << false << words("6:Gb-1.mp3");
        QTest::newRow("off the columns: replays") << 5 << -1 << true << words("5:C2.mp3 5:C2.mp3");
        QTest::newRow("off the columns, never played") << 5 << -1 << false << words("");
    }

    void playString()
    {
        QFETCH(int, string);
        QFETCH(int, fret);
        QFETCH(bool, chordFirst);
        QFETCH(QStringList, starts);
        SoundWindow w; // C major at the nut
        const PlayerSet& players = w.f.players();
        const Module1& m = w.f.module();
        FretboardState& board = w.f.board();
        if (chordFirst)
            PlayString(m, board, players, string);
        board.string(string).dotLeft = float(fret < 0 ? 11000 : m.FretX[fret]);
        PlayString(m, board, players, string);
        QCOMPARE(w.log, starts);
        QCOMPARE(players[string]->playState(), int(starts.isEmpty() ? StringPlayer::Undefined : StringPlayer::Playing));
    }

    void strumPath_data()
    {
        QTest::addColumn<QList<double>>("path"); // x0, y0, x1, y1; no x1, y1: one point
        QTest::addColumn<QList<int>>("strings");
        QTest::newRow("left edge") << QList<double>{3315, 2550} << QList<int>{};
        QTest::newRow("right edge") << QList<double>{5400, 2550} << QList<int>{};
        QTest::newRow("just inside") << QList<double>{5399.9, 3234} << QList<int>{6};
        QTest::newRow("strip top edge") << QList<double>{4000, 2525} << QList<int>{};
        QTest::newRow("strip bottom edge") << QList<double>{4000, 2575} << QList<int>{};
        QTest::newRow("sweep up") << QList<double>{4000, 3250, 4000, 2500} << QList<int>{6, 5, 4, 3, 2, 1};
        QTest::newRow("leaving the band") << QList<double>{3000, 2500, 4000, 3250} << QList<int>{3, 4, 5, 6};
        QTest::newRow("from inside a strip") << QList<double>{4000, 2550, 4000, 2690} << QList<int>{2};
        QTest::newRow("within one strip") << QList<double>{4000, 2550, 4000, 2560} << QList<int>{1};
        QTest::newRow("along a strip edge") << QList<double>{3400, 2525, 5000, 2525} << QList<int>{};
        QTest::newRow("along the right edge") << QList<double>{5400, 2500, 5400, 3250} << QList<int>{};
        QTest::newRow("stopping on the left edge") << QList<double>{3000, 2550, 3315, 2550} << QList<int>{};
    }

    void strumPath()
    {
        QFETCH(QList<double>, path);
        QFETCH(QList<int>, strings);
        std::array<int, 6> out;
        out.fill(-1);
        const int n = path.size() == 2 ? (out[0] = StrumStringAt(path[0], path[1])) != 0
                                       : StrumPath(path[0], path[1], path[2], path[3], out);
        QCOMPARE(QList<int>(out.begin(), out.begin() + n), strings);
        QVERIFY(path.size() == 2 || std::count(out.begin(), out.end(), -1) == 6 - n); // nothing written past them
    }

    void hearStrums()
    {
        SoundWindow w("A ", "7th ", "5 ");
        QObject* pick = control(&w.f, QStringLiteral("Shape13"));
        QList<double> tops;
        connect(static_cast<ShapeControl*>(pick), &ShapeControl::changed, pick, [&] {
            if (tops.isEmpty() || tops.back() != pick->property("Top").toDouble())
                tops << pick->property("Top").toDouble();
        });
        hear(w.f);
        QCOMPARE(w.log, words("1:A5.mp3 2:E4.mp3 3:G3.mp3 4:Db2.mp3 5:E1.mp3 6:A1.mp3"));
        QCOMPARE(tops, QList<double>({4560, 4710, 4860, 5010, 5160, 5310, 5460}));
        QVERIFY(!pick->property("Visible").toBool());
        QVERIFY(w.f.players()[1]->url().find(CHORDMOSS_ASSETS_DIR) == 0);
        // A muted string and one turned off by hand are skipped; Hear restarts
        // strings that still ring.
        SoundWindow c;
        QTest::mouseClick(widget(&c.f, QStringLiteral("Label7")), Qt::LeftButton);
        hear(c.f);
        hear(c.f);
        QCOMPARE(c.log, words("1:E6.mp3 3:E4.mp3 4:G3.mp3 5:C2.mp3 1:E6.mp3 3:E4.mp3 4:G3.mp3 5:C2.mp3"));
    }

    void hearNests()
    {
        SoundWindow w;
        QObject* pick = control(&w.f, QStringLiteral("Shape13"));
        double innerStartTop = 0;
        // A second press during the first one's wait starts its pick at the top again (the order of
        // the nested strums is held by the endurance test's held button).
        QTimer::singleShot(20, &w.f, [&] {
            QTimer::singleShot(0, &w.f, [&] { innerStartTop = pick->property("Top").toDouble(); });
            hear(w.f);
        });
        hear(w.f);
        QCOMPARE(innerStartTop, 4560.0);
    }

    void strum()
    {
        SoundWindow w("E ", "Min ", "0");
        w.move(3900, 2500);
        w.move(4100, 3250); // one event past all six strips
        w.move(3900, 2500); // and back: all still ringing
        QCOMPARE(w.log.join(QLatin1Char(' ')), QStringLiteral("1:E6.mp3 2:B5.mp3 3:E4.mp3 4:G3.mp3 5:B2.mp3 6:E1.mp3"));
        w.f.players()[2]->stop(); // its sample has ended
        w.move(4000, 2690);
        w.move(4000, 2700);
        QCOMPARE(w.log.size(), 7);
        SoundWindow c; // the A string is muted in C major
        c.move(4000, 2600);
        c.move(4000, 2690);
        QVERIFY(c.log.isEmpty());
    }

    void badFilesAreSilent()
    {
        const auto owned = MediaPlayer::create(6); // the program's player of string 6
        StringPlayer& player = *owned;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.mp3")));
        QFile corrupt(dir.filePath(QStringLiteral("corrupt.mp3"))), empty(dir.filePath(QStringLiteral("empty.mp3")));
        QVERIFY(corrupt.open(QIODevice::WriteOnly) && corrupt.write(QByteArray(5000, 'x')) && empty.open(QIODevice::WriteOnly));
        // Large valid samples (three notes' frames one after another, 15 s):
        // decoding them on the calling thread takes longer than this.
        QFile e6(QStringLiteral(CHORDMOSS_ASSETS_DIR "/samples/E6.mp3"));
        QVERIFY(e6.open(QIODevice::ReadOnly));
        const QByteArray three = e6.readAll().repeated(3);
        QStringList large;
        for (int i = 0; i < 4; ++i) {
            QFile f(dir.filePath(QStringLiteral("large%1.mp3").arg(i)));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(three) == three.size());
            large << f.fileName();
        }
        QElapsedTimer answer;
        answer.start();
        for (const QString& path : large)
            player.setURL(path.toStdString());
        QVERIFY2(answer.elapsed() < 50, "decoding is not the caller's");
        QTRY_VERIFY(SampleMixer::instance().isCached(player.url()));
        for (const QString& path : {corrupt.fileName(), empty.fileName(), dir.filePath(QStringLiteral("folder.mp3")),
                                    QStringLiteral("/no/such.mp3")}) {
            player.setURL(path.toStdString());
            QTRY_COMPARE(player.playState(), int(StringPlayer::Stopped));
            player.play(); // known now to be unplayable: silence at once
            QCOMPARE(player.playState(), int(StringPlayer::Stopped));
        }
        QVERIFY(!SampleMixer::instance().isCached(corrupt.fileName().toStdString()));
        // Nor does one wake a closed device.
        QTRY_VERIFY_WITH_TIMEOUT(!SampleMixer::instance().deviceOpen(), 8000);
        player.play();
        QTest::qWait(100);
        QVERIFY(!SampleMixer::instance().deviceOpen());
        player.setURL(CHORDMOSS_ASSETS_DIR "/samples/E6.mp3"); // a good one plays until stopped
        QTRY_VERIFY(SampleMixer::instance().isCached(player.url()));
        QVERIFY(player.playState() == StringPlayer::Playing && SampleMixer::instance().playing(5)); // the mixer's last channel
        player.stop();
        QCOMPARE(player.playState(), int(StringPlayer::Stopped));
    }

    void finishEndsTheSound() // last: the mixer stays stopped
    {
        SampleMixer& mixer = SampleMixer::instance();
        mixer.start(0, CHORDMOSS_ASSETS_DIR "/samples/E6.mp3", 50);
        QTRY_VERIFY(mixer.deviceOpen() && mixer.playing(0));
        QVERIFY(SampleMixer::finish(std::chrono::seconds(2)));
        QVERIFY(!mixer.deviceOpen() && !mixer.playing(0));
    }
};

QTEST_MAIN(TestSound)
#include "test_sound.moc"

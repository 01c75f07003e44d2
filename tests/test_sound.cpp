// Sample names and directories, Hear and strumming, on SDL's dummy output.
#include <QtTest>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <filesystem>

#include "Form1.h"
#include "controls.h"
#include "fretboardstate.h"
#include "mediaplayer.h"
#include "module1.h"
#include "playstring.h"
#include "samplenames.h"
#include "strum.h"

using namespace chordmoss;

namespace {

/// Every start of every player, in order, with the time it happened.
struct StartLog {
    QElapsedTimer clock;
    QList<int> strings;
    QStringList files;
    QList<qint64> times;
    explicit StartLog(Form1& f)
    {
        clock.start();
        for (int s = 1; s <= 6; ++s) {
            auto* p = static_cast<MediaPlayer*>(f.players()[s]);
            QObject::connect(p, &MediaPlayer::started, p, [this, s](const QString& url) {
                strings << s;
                files << QFileInfo(url).fileName();
                times << clock.elapsed();
            });
        }
    }
};

void choose(Form1& f, const QString& root, const QString& type, const QString& position)
{
    f.findChild<QObject*>(QStringLiteral("Combo1"))->setProperty("Text", root);
    f.findChild<QObject*>(QStringLiteral("Combo2"))->setProperty("Text", type);
    f.findChild<QObject*>(QStringLiteral("Combo3"))->setProperty("Text", position);
    f.RunIt();
    f.RunIt();
}

int state(Form1& f, int s) { return f.players()[s]->playState(); }

} // namespace

class TestSound : public QObject {
    Q_OBJECT
private slots:
    void sampleFiles_data();
    void sampleFiles();
    void soundDirectory();
    void hearPlaysTheShownChord();
    void hearSkipsMutedStrings();
    void hearIsReentrant();
    void strumBounds_data();
    void strumBounds();
    void strumRetrigger();
    void fastSweepPlaysEveryString();
    void strumPath();
    void offColumnDotReplaysTheLastSample();
    void badFilesAreSilent();
};

void TestSound::sampleFiles_data()
{
    QTest::addColumn<int>("string");
    QTest::addColumn<int>("fret");
    QTest::addColumn<QString>("file");
    QTest::newRow("low E open") << 1 << 0 << "E6.mp3";
    QTest::newRow("low E 5 = open A") << 1 << 5 << "A5.mp3";
    QTest::newRow("A open") << 2 << 0 << "A5.mp3";
    QTest::newRow("A 14") << 2 << 14 << "B2.mp3";
    QTest::newRow("G open") << 4 << 0 << "G3.mp3";
    QTest::newRow("B 14") << 5 << 14 << "Db1.mp3";
    QTest::newRow("high E open") << 6 << 0 << "E1.mp3";
    QTest::newRow("high E 12") << 6 << 12 << "E-1.mp3";
    QTest::newRow("high E 13") << 6 << 13 << "F-1.mp3";
    QTest::newRow("high E 14") << 6 << 14 << "Gb-1.mp3";
    QTest::newRow("flat names") << 2 << 1 << "Bb5.mp3";
}

void TestSound::sampleFiles()
{
    QFETCH(int, string);
    QFETCH(int, fret);
    QFETCH(QString, file);
    Module1 m;
    QCOMPARE(QString::fromStdString(SampleFile(m, string, fret)), file);
    m.SoundDir = "/x/";
    QCOMPARE(QString::fromStdString(SampleFile(m, string, fret)), QStringLiteral("/x/") + file);
}

void TestSound::soundDirectory()
{
    const std::string build = CHORDMOSS_BUILD_DIR;
    QVERIFY(IsDevDirectory(build));
    std::string lower = build, padded = "  " + build + "   ";
    for (char& c : lower)
        c = char(std::tolower(c));
    QVERIFY(IsDevDirectory(lower));
    QVERIFY(IsDevDirectory(padded));
    QVERIFY(!IsDevDirectory(build + "/tests"));

    Module1 m;
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(build));
    SetSoundDir(m);
    QVERIFY(m.InDevDir);
    QCOMPARE(QString::fromStdString(SampleFile(m, 1, 0)),
             QStringLiteral(CHORDMOSS_ASSETS_DIR) + QStringLiteral("/samples/E6.mp3"));
    // A change of directory takes effect at the next event.
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path());
    SetSoundDir(m);
    QVERIFY(!m.InDevDir);
    QCOMPARE(QString::fromStdString(SampleFile(m, 1, 0)), QStringLiteral("E6.mp3"));
    // Not there: the program's own samples are used, and a file that is
    // there is used as named.
    QCOMPARE(QString::fromStdString(ResolveSample("E6.mp3")),
             QStringLiteral(CHORDMOSS_ASSETS_DIR) + QStringLiteral("/samples/E6.mp3"));
    QFile local(elsewhere.filePath(QStringLiteral("E6.mp3")));
    QVERIFY(local.open(QIODevice::WriteOnly));
    local.close();
    QCOMPARE(QString::fromStdString(ResolveSample("E6.mp3")), QStringLiteral("E6.mp3"));
    QDir::setCurrent(before);
}

void TestSound::hearPlaysTheShownChord()
{
    Form1 f;
    choose(f, QStringLiteral("A "), QStringLiteral("7th "), QStringLiteral("5 "));
    StartLog log(f);
    QList<double> tops;
    QObject* pick = f.findChild<QObject*>(QStringLiteral("Shape13"));
    QObject::connect(static_cast<ShapeControl*>(pick), &ShapeControl::changed, pick, [&] {
        if (tops.isEmpty() || tops.back() != pick->property("Top").toDouble())
            tops << pick->property("Top").toDouble();
    });
    QElapsedTimer whole;
    whole.start();
    f.Command4_Click();
    const qint64 took = whole.elapsed();
    QCOMPARE(log.strings, QList<int>({1, 2, 3, 4, 5, 6}));
    QCOMPARE(log.files, QStringList({QStringLiteral("A5.mp3"), QStringLiteral("E4.mp3"), QStringLiteral("G3.mp3"),
                                     QStringLiteral("Db2.mp3"), QStringLiteral("E1.mp3"), QStringLiteral("A1.mp3")}));
    for (int i = 1; i < log.times.size(); ++i)
        QVERIFY2(log.times[i] - log.times[i - 1] >= 50, qPrintable(QString::number(log.times[i] - log.times[i - 1])));
    QVERIFY(took >= 1300);
    QCOMPARE(tops, QList<double>({4560, 4710, 4860, 5010, 5160, 5310, 5460}));
    QVERIFY(!pick->property("Visible").toBool());
    for (int s = 1; s <= 6; ++s)
        QCOMPARE(state(f, s), 3); // still ringing after the handler
    QVERIFY(f.players()[1]->url().find(CHORDMOSS_ASSETS_DIR) == 0);
}

void TestSound::hearSkipsMutedStrings()
{
    Form1 f; // C major: the A string is muted
    f.Label7_MouseDown(1, 0, 300, 30); // and the high E turned off by hand
    StartLog log(f);
    f.Command4_Click();
    QCOMPARE(log.strings, QList<int>({1, 3, 4, 5}));
    QVERIFY(log.times[1] - log.times[0] < 95); // no wait for the muted string
    QCOMPARE(f.findChild<QObject*>(QStringLiteral("Shape13"))->property("Top").toDouble(), 5460.0);
    QCOMPARE(state(f, 2), 0);
}

void TestSound::hearIsReentrant()
{
    Form1 f;
    StartLog log(f);
    QObject* pick = f.findChild<QObject*>(QStringLiteral("Shape13"));
    double innerStartTop = 0;
    // A second press during the first one's wait runs its whole sequence first.
    QTimer::singleShot(20, &f, [&] {
        QTimer::singleShot(0, &f, [&] { innerStartTop = pick->property("Top").toDouble(); });
        f.Command4_Click();
    });
    f.Command4_Click();
    QCOMPARE(innerStartTop, 4560.0);
    QCOMPARE(log.strings.size(), 10);
    QCOMPARE(log.strings.mid(0, 6), QList<int>({1, 1, 3, 4, 5, 6}));
    QVERIFY(!pick->property("Visible").toBool());
}

void TestSound::strumBounds_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("string");
    QTest::newRow("in string 1") << 4000.0 << 2550.0 << 1;
    QTest::newRow("left edge") << 3315.0 << 2550.0 << 0;
    QTest::newRow("right edge") << 5400.0 << 2550.0 << 0;
    QTest::newRow("just inside") << 5399.9 << 2550.0 << 1;
    QTest::newRow("strip top edge") << 4000.0 << 2525.0 << 0;
    QTest::newRow("strip bottom edge") << 4000.0 << 2575.0 << 0;
    QTest::newRow("between strips") << 4000.0 << 2600.0 << 0;
    QTest::newRow("string 6") << 4000.0 << 3234.0 << 6;
    QTest::newRow("muted string 2") << 4000.0 << 2685.0 << 0;
}

void TestSound::strumBounds()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, string);
    Form1 f;
    StartLog log(f);
    f.Image1_MouseMove(2, 0, x, y); // any button strums
    QCOMPARE(log.strings, string ? QList<int>{string} : QList<int>{});
}

void TestSound::strumRetrigger()
{
    Form1 f;
    StartLog log(f);
    f.Image1_MouseMove(0, 0, 4000, 2550);
    f.Image1_MouseMove(0, 0, 4000, 2560); // still ringing: nothing
    QCOMPARE(log.strings, QList<int>({1}));
    f.players()[1]->stop(); // the sample has ended
    f.Image1_MouseMove(0, 0, 4010, 2560);
    QCOMPARE(log.strings, QList<int>({1, 1}));
    // Moving within the gap plays nothing new.
    f.Image1_MouseMove(0, 0, 4000, 2600);
    f.Image1_MouseMove(0, 0, 4000, 2620);
    QCOMPARE(log.strings.size(), 2);
}

void TestSound::fastSweepPlaysEveryString()
{
    Form1 f;
    choose(f, QStringLiteral("E "), QStringLiteral("Min "), QStringLiteral("0"));
    StartLog log(f);
    f.Image1_MouseMove(0, 0, 3900, 2500);
    f.Image1_MouseMove(0, 0, 4100, 3250); // one event past all six strips
    QCOMPARE(log.strings, QList<int>({1, 2, 3, 4, 5, 6}));
    // Back up again: all ringing, nothing restarts.
    f.Image1_MouseMove(0, 0, 3900, 2500);
    QCOMPARE(log.strings.size(), 6);
}

void TestSound::strumPath()
{
    std::array<int, 6> out{};
    QCOMPARE(StrumPath(4000, 3250, 4000, 2500, out), 6);
    QCOMPARE(out[0], 6);
    QCOMPARE(out[5], 1);
    // Leaving the band on the way: only the strips crossed inside it.
    QCOMPARE(StrumPath(3000, 2500, 4000, 3250, out), 4);
    QCOMPARE(out[0], 3);
    // Starting inside a strip does not count that strip again.
    QCOMPARE(StrumPath(4000, 2550, 4000, 2690, out), 1);
    QCOMPARE(out[0], 2);
    QCOMPARE(StrumPath(4000, 2550, 4000, 2560, out), 1);
    QCOMPARE(out[0], 1);
}

void TestSound::offColumnDotReplaysTheLastSample()
{
    Form1 f;
    StartLog log(f);
    f.Image1_MouseMove(0, 0, 4000, 2550); // low E open
    f.players()[1]->stop();
    f.findChild<QObject*>(QStringLiteral("Shape1"))->setProperty("Left", 11000.0); // on no fret column
    f.Image1_MouseMove(0, 0, 4000, 2560);
    QCOMPARE(log.files, QStringList({QStringLiteral("E6.mp3"), QStringLiteral("E6.mp3")}));
    QCOMPARE(state(f, 1), 3);
    // A player that never had a sample stays silent.
    f.findChild<QObject*>(QStringLiteral("Shape6"))->setProperty("Left", 11000.0);
    f.Image1_MouseMove(0, 0, 3000, 2560); // out of the band, down outside it,
    f.Image1_MouseMove(0, 0, 3000, 3200); // and in again along the high E strip
    f.Image1_MouseMove(0, 0, 4000, 3200);
    QCOMPARE(state(f, 6), 0);
    QCOMPARE(log.files.size(), 2);
}

void TestSound::badFilesAreSilent()
{
    Form1 f;
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    QFile corrupt(dir.filePath(QStringLiteral("E6.mp3")));
    QVERIFY(corrupt.open(QIODevice::WriteOnly));
    corrupt.write(QByteArray(5000, 'x'));
    corrupt.close();
    QFile empty(dir.filePath(QStringLiteral("E1.mp3")));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QDir::setCurrent(dir.path());
    f.Image1_MouseMove(0, 0, 4000, 2550); // low E open: the corrupt file
    QCOMPARE(f.players()[1]->url(), std::string("E6.mp3"));
    QCOMPARE(state(f, 1), 1);
    f.Image1_MouseMove(0, 0, 4000, 3200); // high E open: the empty file
    QCOMPARE(state(f, 6), 1);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("A5.mp3"))); // a folder where a sample should be
    f.players()[3]->setURL(dir.filePath(QStringLiteral("A5.mp3")).toStdString());
    QCOMPARE(state(f, 3), 1);
    QDir::setCurrent(before);
    f.players()[2]->setURL("/no/such/sample.mp3");
    QCOMPARE(state(f, 2), 1);
    f.players()[2]->play();
    QCOMPARE(state(f, 2), 1);
}

QTEST_MAIN(TestSound)
#include "test_sound.moc"

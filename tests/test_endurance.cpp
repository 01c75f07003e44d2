// What a long session and an unlucky desktop do to the program: a held-down
// "Hear" button, ending the program in the middle of a strum, a decimal comma
// locale, and the volume window opened and closed for hours.
#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QPushButton>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <functional>
#include <ctime>
#include <malloc.h>

#include "Form1.h"
#include "Form2.h"
#include "mediaplayer.h"
#include "runit.h"

using namespace chordmoss;

namespace {

double cpuMs() { return std::clock() * 1000.0 / CLOCKS_PER_SEC; }

/// Child process: ten queued Hears nest at real speed, then the program is
/// ended `how`; prints the milliseconds from the end request to the end of
/// the event loop, the CPU milliseconds spent meanwhile, and the strings
/// started or still sounding after the request.
int endDuringHear(int argc, char** argv, const QString& how)
{
    QApplication app(argc, argv);
    Form1 f;
    f.show();
    auto* hear = f.findChild<QPushButton*>(QStringLiteral("Command4"));
    for (int i = 0; i < 10; ++i)
        QMetaObject::invokeMethod(hear, &QPushButton::click, Qt::QueuedConnection);
    QElapsedTimer since;
    double cpuAtEnd = 0;
    int startedAfter = 0;
    QTimer::singleShot(400, [&] {
        since.start();
        cpuAtEnd = cpuMs();
        for (int s = 1; s <= 6; ++s)
            QObject::connect(dynamic_cast<MediaPlayer*>(f.players()[s]), &MediaPlayer::started, [&] { ++startedAfter; });
        if (how == QLatin1String("close"))
            f.close();
        else if (how == QLatin1String("quit"))
            QApplication::quit();
        else
            f.findChild<QAction*>(QStringLiteral("Exit"))->trigger();
    });
    QApplication::exec();
    for (int s = 1; s <= 6; ++s)
        startedAfter += f.players()[s]->playState() == StringPlayer::Playing;
    std::printf("%lld %.0f %d\n", since.elapsed(), cpuMs() - cpuAtEnd, startedAfter);
    return 0;
}

} // namespace

class TestEndurance : public QObject {
    Q_OBJECT
private slots:
    void heldHearButton();
    void endingDuringNestedHears_data();
    void endingDuringNestedHears();
    void positionUnderLocale_data();
    void positionUnderLocale();
    void volumeWindowCycles();
};

void TestEndurance::heldHearButton()
{
    // A stuck button: a click at every pass of the event loop, 3000 in all.
    // The first few nest, each running its whole strum before the one it
    // interrupted resumes; the rest do nothing.
    Form1 f;
    f.setWaitScale(0.2);
    QList<int> played, sounding;
    for (int s = 1; s <= 6; ++s) {
        connect(dynamic_cast<MediaPlayer*>(f.players()[s]), &MediaPlayer::started, this, [&played, s] { played << s; });
        if (f.board().string(s).dotVisible)
            sounding << s;
    }
    QVERIFY(sounding.size() > 1);
    auto* hear = f.findChild<QPushButton*>(QStringLiteral("Command4"));
    int clicks = 3000;
    std::function<void()> press = [&] {
        if (--clicks > 0)
            QTimer::singleShot(0, hear, press);
        hear->click();
    };
    QTimer::singleShot(0, hear, press);
    QList<int> expected;
    for (int depth = 0; depth < Form1::kHearNesting; ++depth)
        expected << sounding.first();
    for (int depth = 0; depth < Form1::kHearNesting; ++depth)
        expected << sounding.mid(1);
    QTRY_COMPARE_WITH_TIMEOUT(played.size(), expected.size(), 20000);
    QTRY_COMPARE(f.hearDepth(), 0);
    QCOMPARE(clicks, 0);
    QCOMPARE(played, expected);
    QVERIFY(!f.findChild<QObject*>(QStringLiteral("Shape13"))->property("Visible").toBool());
}

void TestEndurance::endingDuringNestedHears_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("window closed") << QStringLiteral("close");
    QTest::newRow("application quit") << QStringLiteral("quit");
    QTest::newRow("File, Exit") << QStringLiteral("exit");
}

void TestEndurance::endingDuringNestedHears()
{
    QFETCH(QString, how);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--end-during-hear"), how});
    QVERIFY(child.waitForFinished(30000));
    const QList<QByteArray> out = child.readAllStandardOutput().trimmed().split(' ');
    QCOMPARE(out.size(), 3);
    QVERIFY2(out[0].toInt() < 400, out[0] + " ms to end");
    QVERIFY2(out[1].toInt() < 200, out[1] + " ms of CPU while ending");
    QCOMPARE(out[2].toInt(), 0); // strings started or sounding afterwards
}

void TestEndurance::positionUnderLocale_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("fret");
    for (const char* locale : {"C", "de_DE.UTF-8", "tr_TR.UTF-8"}) {
        QTest::addRow("%s 3.5", locale) << QByteArray(locale) << QStringLiteral("3.5") << 4;
        QTest::addRow("%s 2.7", locale) << QByteArray(locale) << QStringLiteral("2.7 ") << 3;
        QTest::addRow("%s -1e0", locale) << QByteArray(locale) << QStringLiteral("-1e0") << -1;
    }
}

void TestEndurance::positionUnderLocale()
{
    QFETCH(QByteArray, locale);
    QFETCH(QString, text);
    QFETCH(int, fret);
    const QByteArray before = std::setlocale(LC_ALL, nullptr);
    QVERIFY2(std::setlocale(LC_ALL, locale.constData()), "locale missing: make deps generates it");
    const int got = PositionFret(text.toStdString());
    std::setlocale(LC_ALL, before.constData());
    QCOMPARE(got, fret);
}

void TestEndurance::volumeWindowCycles()
{
    // Opening by the knob and closing it, painted each time, keeps nothing.
    Form1 f;
    f.show();
    auto cycle = [&f] {
        f.Image1_MouseDown(1, 0, 5700, 4200);
        QCoreApplication::processEvents();
        f.volumeWindow()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    for (int i = 0; i < 100; ++i)
        cycle();
    const auto before = mallinfo2().uordblks;
    for (int i = 0; i < 500; ++i)
        cycle();
    const auto after = mallinfo2().uordblks;
    QVERIFY2(after < before + 100 * 1024, qPrintable(QStringLiteral("%1 KB kept").arg((after - before) / 1024.0)));
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--end-during-hear") == 0)
        return endDuringHear(argc, argv, QString::fromLatin1(argv[2]));
    QApplication app(argc, argv);
    TestEndurance test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_endurance.moc"

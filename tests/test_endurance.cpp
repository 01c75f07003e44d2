// What a long session and an unlucky desktop do: a held-down "Hear" button,
// ending the program in the middle of nested Hears or with a sound server
// that does not answer, a decimal-comma locale, and the volume window opened
// and closed for hours.
#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QPushButton>

#include <clocale>
#include <ctime>
#include <malloc.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "Form1.h"
#include "Form2.h"
#include "watchedplayer.h"
#include "runit.h"
#include "runwindow.h"
#include "samplemixer.h"
#include "samplenames.h"

using namespace chordmoss;

namespace {

QPushButton* hearButton(Form1& f) { return f.findChild<QPushButton*>(QStringLiteral("Command4")); }

/// Run as a child process: ends the program `how` during ten nested Hears;
/// prints the ms until the event loop returned, the CPU ms spent meanwhile
/// and the strings started or sounding since the end was asked for.
int endDuringHears(int argc, char** argv, const QByteArray& how)
{
    QApplication app(argc, argv);
    int played = 0;
    bool ending = false;
    Form1 f{nullptr, watchedPlayers([&](int) { played += ending; })};
    f.show();
    holdHear(hearButton(f), 10);
    QElapsedTimer since;
    std::clock_t cpu = 0;
    QTimer::singleShot(400, [&] {
        since.start();
        cpu = std::clock();
        ending = true;
        how == "close"  ? void(f.close())
            : how == "quit" ? QApplication::quit()
                            : f.findChild<QAction*>(QStringLiteral("Exit"))->trigger();
    });
    QApplication::exec();
    for (int s = 1; s <= 6; ++s)
        played += f.players()[s]->playState() == StringPlayer::Playing;
    std::printf("%lld %ld %d\n", since.elapsed(), long((std::clock() - cpu) * 1000 / CLOCKS_PER_SEC), played);
    return 0;
}

/// Run as a child process, with a sound server that never answers: presses
/// Hear, then ends the program `how` ("close" or "term"), saying "ending" on
/// standard output at that moment; the program's own ending follows.
int endWithStalledServer(int argc, char** argv, const QByteArray& how)
{
    QApplication app(argc, argv);
    QTimer::singleShot(300, [how] {
        Form1* f = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            f = f ? f : qobject_cast<Form1*>(w);
        QTimer::singleShot(300, [f, how] {
            std::puts("ending");
            std::fflush(stdout);
            how == "term" ? void(kill(getpid(), SIGTERM)) : void(f->close());
        });
        hearButton(*f)->click();
    });
    return RunWindow();
}

} // namespace

class TestEndurance : public QObject {
    Q_OBJECT
private slots:
    void heldHearButton()
    {
        // 3000 clicks: the first few nest, each running its whole strum before
        // the one it interrupted resumes; the rest do nothing.
        QList<int> played, expected;
        Form1 f{nullptr, watchedPlayers([&played](int s) { played << s; })};
        f.setWaitScale(0.2);
        QList<int> sounding;
        for (int s = 1; s <= 6; ++s)
            sounding << (f.board().string(s).dotVisible ? QList<int>{s} : QList<int>{});
        for (int depth = 0; depth < Form1::kHearNesting; ++depth)
            expected.prepend(sounding.first()), expected << sounding.mid(1);
        holdHear(hearButton(f), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(played.size(), expected.size(), 20000);
        QTRY_COMPARE(f.hearDepth(), 0);
        QCOMPARE(played, expected);
    }

    void endingDuringNestedHears_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"close", "quit", "exit"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }

    void endingDuringNestedHears()
    {
        QFETCH(QString, how);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--end-during-hears"), how});
        QVERIFY(child.waitForFinished(30000));
        const QList<QByteArray> out = child.readAllStandardOutput().trimmed().split(' ');
        QCOMPARE(out.size(), 3);
        QVERIFY2(out[0].toInt() < 400, out[0] + " ms to end");
        QVERIFY2(out[1].toInt() < 200, out[1] + " ms of CPU while ending");
        QCOMPARE(out[2].toInt(), 0); // strings started or sounding afterwards
    }

    void endingWithStalledServer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("window closed") << QStringLiteral("close");
        QTest::newRow("SIGTERM") << QStringLiteral("term");
    }

    void endingWithStalledServer()
    {
        QFETCH(QString, how);
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("native")));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0); // takes connections, never answers
        QVERIFY(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(server, 8) == 0);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("pulseaudio"));
        env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + QString::fromLocal8Bit(path));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--end-stalled"), how});
        QVERIFY(child.waitForReadyRead(30000));
        QElapsedTimer since;
        since.start();
        const bool ended = child.waitForFinished(5000);
        const qint64 ms = since.elapsed();
        child.kill();
        child.waitForFinished();
        close(server);
        QVERIFY2(ended && ms < 1000, qPrintable(QStringLiteral("%1 ms").arg(ms)));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit); // a signal closes the window, it does not kill
    }

    void positionUnderLocale()
    {
        const QByteArray before = std::setlocale(LC_ALL, nullptr);
        for (const char* locale : {"C", "de_DE.UTF-8", "tr_TR.UTF-8"}) {
            QVERIFY2(std::setlocale(LC_ALL, locale), "locale missing: make deps generates it");
            const QList<int> got{PositionFret("3.5"), PositionFret("2.7 "), PositionFret("-1e0")};
            std::setlocale(LC_ALL, before.constData());
            QCOMPARE(got, QList<int>({4, 3, -1}));
        }
    }

    void volumeWindowCycles()
    {
        // Opened by the knob, painted and closed 500 times: nothing stays behind.
        Form1 f;
        f.show();
        QTRY_VERIFY(SampleMixer::instance().decodedCount() >= int(SampleNames.size())); // the samples' memory is not the window's
        std::size_t before = 0;
        for (int i = 0; i < 600; ++i) {
            before = i == 100 ? mallinfo2().uordblks : before;
            f.Image1_MouseDown(1, 0, 5700, 4200);
            QCoreApplication::processEvents();
            f.volumeWindow()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        const std::size_t after = mallinfo2().uordblks;
        QVERIFY2(after < before + 100 * 1024,
                 qPrintable(QStringLiteral("%1 KB kept").arg((double(after) - before) / 1024)));
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--end-during-hears") == 0)
        return endDuringHears(argc, argv, argv[2]);
    if (argc == 3 && qstrcmp(argv[1], "--end-stalled") == 0)
        return endWithStalledServer(argc, argv, argv[2]);
    QApplication app(argc, argv);
    TestEndurance test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_endurance.moc"

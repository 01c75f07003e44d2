// The command line: the same chords as the window, names that find every
// voicing again, the mistakes it reports, and the chord boxes it draws.
#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>
#include <sstream>

#include "Form1.h"
#include "commandline.h"
#include "controls.h"
#include "diagrampng.h"
#include "notetables.h"
#include "shapenames.h"
#include "windowchord.h"

using namespace chordmoss;
using namespace Qt::StringLiterals;

namespace {

struct Run {
    int code;
    std::string out, err;
};

QStringList words(const char* text) { return QString::fromLatin1(text).split(QLatin1Char(' ')); }

Run run(const QStringList& args)
{
    std::vector<std::string> a;
    for (const QString& s : args)
        a.push_back(s.toStdString());
    std::ostringstream out, err;
    const int code = RunCommandLine(a, out, err, DiagramPng);
    return {code, out.str(), err.str()};
}

/// The fretted dots of an SVG chord box: string number -> centre x.
QMap<int, double> svgDots(const std::string& svg)
{
    QMap<int, double> dots;
    QXmlStreamReader xml(QByteArray::fromStdString(svg));
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        if (xml.isStartElement() && xml.attributes().value(QLatin1String("class")) == QLatin1String("dot"))
            dots[xml.attributes().value(QLatin1String("data-string")).toInt()] =
                xml.attributes().value(QLatin1String("cx")).toDouble();
    }
    return xml.hasError() ? QMap<int, double>{{-1, 0}} : dots;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void matchesTheWindow_data();
    void matchesTheWindow();
    void namesFindEveryVoicing();
    void namesShapes_data();
    void namesShapes();
    void mistakes_data();
    void mistakes();
    void theProgram();
    void svgBox();
    void pngBox();
};

void TestCli::matchesTheWindow_data()
{
    QTest::addColumn<bool>("fourFrets");
    QTest::addColumn<bool>("alternate");
    QTest::newRow("plain") << false << false;
    QTest::newRow("four frets") << true << false;
    QTest::newRow("alternate") << false << true;
    QTest::newRow("both") << true << true;
}

void TestCli::matchesTheWindow()
{
    QFETCH(bool, fourFrets);
    QFETCH(bool, alternate);
    Form1 f;
    auto combo = [&](const char* name) { return f.findChild<ComboControl*>(QLatin1String(name)); };
    if (fourFrets)
        f.findChild<QCheckBox*>(QStringLiteral("Check1"))->click();
    if (alternate)
        f.findChild<QCheckBox*>(QStringLiteral("AltChords"))->click();
    for (int r = 0; r < 12; ++r) {
        combo("Combo1")->setListIndex(r);
        for (int t = 0; t < 63; ++t) {
            for (int p : {0, 5}) {
                // A computation lists the notes from where the one before left
                // the strings: typing "0" (which runs nothing) puts the type
                // choice where it stands after a fresh start.
                combo("Combo3")->setEditText(QStringLiteral("0"));
                combo("Combo2")->setListIndex(t);
                combo("Combo3")->setListIndex(p);
                const WindowVoicing v = ChordAsWindowShows({r, t, p, fourFrets, alternate});
                for (int s = 1; s <= 6; ++s) {
                    auto* dot = f.findChild<QObject*>(QStringLiteral("Shape%1").arg(s));
                    const int fret = dot->property("Visible").toBool()
                                         ? int(std::find(kFretLeft.begin(), kFretLeft.end(),
                                                         dot->property("Left").toDouble()) - kFretLeft.begin())
                                         : -1;
                    QCOMPARE(v.frets[s - 1], fret);
                    if (fret >= 0)
                        QCOMPARE(QString::fromStdString(v.captions[s - 1]),
                                 f.findChild<QObject*>(QStringLiteral("Label%1").arg(s + 1))->property("Caption").toString());
                }
                QCOMPARE(QString::fromStdString(v.listing),
                         f.findChild<QObject*>(QStringLiteral("Text1"))->property("Text").toString());
            }
        }
    }
}

void TestCli::namesFindEveryVoicing()
{
    for (int options = 0; options < 4; ++options) {
        for (int p = 0; p <= 12; ++p) {
            for (int r = 0; r < 12; ++r) {
                for (int t = 0; t < 63; ++t) {
                    const Frets frets = ChordAsWindowShows({r, t, p, bool(options & 1), bool(options & 2)}).frets;
                    const std::vector<ShapeName> names = NameShape(frets);
                    QVERIFY(std::is_partitioned(names.begin(), names.end(), [](const ShapeName& n) { return n.exact; }));
                    if (std::none_of(names.begin(), names.end(),
                                     [&](const ShapeName& n) { return n.root == r && n.type == t; }))
                        QFAIL(qPrintable(QStringLiteral("%1 %2 at %3 not named").arg(r).arg(t).arg(p)));
                }
            }
        }
    }
}

void TestCli::namesShapes_data()
{
    QTest::addColumn<QStringList>("shape");
    QTest::addColumn<QString>("line"); // a line of the listing
    QTest::addColumn<bool>("first");
    QTest::newRow("C") << QStringList{u"x32010"_s} << u"exact     C Maj"_s << true;
    QTest::newRow("C over E") << QStringList{u"032010"_s} << u"exact     C Maj/E"_s << true;
    QTest::newRow("E minor") << QStringList{u"022000"_s} << u"exact     E Min"_s << true;
    QTest::newRow("A minor 7") << QStringList{u"x02010"_s} << u"exact     A Min7"_s << true;
    QTest::newRow("C 6 over A") << QStringList{u"x02010"_s} << u"exact     C 6th/A"_s << false;
    QTest::newRow("A minor 9 holds it") << QStringList{u"x02010"_s} << u"includes  A Min9"_s << false;
    QTest::newRow("G") << QStringList{u"3x0003"_s} << u"exact     G Maj"_s << true;
    QTest::newRow("E minor 7 over G") << QStringList{u"3x0003"_s} << u"includes  E Min7/G"_s << false;
    QTest::newRow("two-digit frets") << QStringList{u"x-10-12-12-11-10"_s} << u"exact     G Min"_s << true;
    QTest::newRow("six words") << QStringList{u"x"_s, u"3"_s, u"2"_s, u"0"_s, u"1"_s, u"0"_s} << u"exact     C Maj"_s << true;
}

void TestCli::namesShapes()
{
    QFETCH(QStringList, shape);
    QFETCH(QString, line);
    QFETCH(bool, first);
    const Run r = run(words("name") + shape);
    QCOMPARE(r.code, 0);
    const QStringList lines = QString::fromStdString(r.out).split(QLatin1Char('\n'));
    QVERIFY2(lines.contains(line), r.out.c_str());
    if (first)
        QCOMPARE(lines.value(1), line);
}

void TestCli::mistakes_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("root") << QStringList{u"chord"_s, u"H"_s, u"Maj"_s} << 2 << u"unknown root 'H'; closest: A, B"_s;
    QTest::newRow("type") << QStringList{u"chord"_s, u"C"_s, u"mja7"_s} << 2 << u"closest: Maj, Min7, MMaj7, Maj7"_s;
    QTest::newRow("position") << QStringList{u"chord"_s, u"C"_s, u"Maj"_s, u"13"_s} << 2 << u"position '13' is not"_s;
    QTest::newRow("no type") << QStringList{u"chord"_s, u"C"_s} << 2 << u"needs a ROOT and a TYPE"_s;
    QTest::newRow("sharp") << QStringList{u"find"_s, u"C#"_s} << 2 << u"'C#': Please only enter flats"_s;
    QTest::newRow("letter") << QStringList{u"find"_s, u"h"_s} << 2 << u"Please enter a letter between A and G"_s;
    QTest::newRow("first box") << QStringList{u"find"_s, u""_s, u"C"_s} << 2 << u"Please enter the notes in the chord"_s;
    QTest::newRow("six notes") << QStringList{u"find"_s, u"C"_s, u"D"_s, u"E"_s, u"F"_s, u"G"_s, u"A"_s} << 2 << u"five search boxes"_s;
    QTest::newRow("same note twice") << QStringList{u"find"_s, u"C"_s, u"c"_s} << 1 << u"Not Found"_s;
    QTest::newRow("short shape") << QStringList{u"name"_s, u"x3201"_s} << 2 << u"gives 5"_s;
    QTest::newRow("bad fret") << QStringList{u"name"_s, u"x-3-2-0-1-25"_s} << 2 << u"'25' is neither a fret"_s;
    QTest::newRow("silent shape") << QStringList{u"name"_s, u"xxxxxx"_s} << 2 << u"no string sounds"_s;
    QTest::newRow("format") << QStringList{u"find"_s, u"C"_s, u"--format=svg"_s} << 2 << u"format 'svg'"_s;
    QTest::newRow("size") << QStringList{u"chord"_s, u"C"_s, u"Maj"_s, u"--size"_s, u"9"_s} << 2 << u"size '9'"_s;
    QTest::newRow("option") << QStringList{u"chord"_s, u"C"_s, u"Maj"_s, u"--frets"_s} << 2 << u"unknown option '--frets'"_s;
    QTest::newRow("command") << QStringList{u"C"_s, u"Maj"_s} << 2 << u"chordmoss chord C Maj"_s;
    QTest::newRow("unwritable") << QStringList{u"chord"_s, u"C"_s, u"Maj"_s, u"-o"_s, u"/nonexistent/c.txt"_s} << 1 << u"cannot write"_s;
}

void TestCli::mistakes()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, message);
    const Run r = run(args);
    QCOMPARE(r.code, code);
    QVERIFY2(QString::fromStdString(r.err).contains(message), r.err.c_str());
    QCOMPARE(QString::fromStdString(r.err).count(QLatin1Char('\n')), 1);
    QCOMPARE(r.out, std::string());
}

void TestCli::theProgram()
{
    auto start = [](const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(CHORDMOSS_BINARY), args);
        p.waitForFinished(10000);
        return std::tuple(p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError());
    };
    QCOMPARE(start(words("--version")), std::tuple(0, QByteArray("chordmoss " CHORDMOSS_VERSION "\n"), QByteArray()));
    const auto [code, out, err] = start(words("chord Db maj --format json"));
    QCOMPARE(code, 0);
    QVERIFY(err.isEmpty());
    QCOMPARE(QJsonDocument::fromJson(out)[u"fingering"_s].toString(), QStringLiteral("1xx121"));
    QCOMPARE(start(words("chord C Maj -1")), std::tuple(2, QByteArray(), QByteArray("chordmoss: position '-1' is "
                                                                                       "not one of the list's positions 0 to 12\n")));
    QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        headless.remove(QLatin1String(name));
    const auto [windowCode, windowOut, windowErr] = start(words("-style fusion"), headless);
    QCOMPARE(windowCode, 1);
    QVERIFY(windowErr.startsWith("chordmoss: no display") && windowErr.count('\n') == 1);
}

void TestCli::svgBox()
{
    const Run right = run(words("chord C Maj --four-frets --format svg")); // 032010
    const Run left = run(words("chord C Maj --four-frets --format svg --left-handed"));
    const QMap<int, double> dots = svgDots(right.out), mirrored = svgDots(left.out);
    QCOMPARE(dots.keys(), QList<int>({2, 3, 5}));
    QCOMPARE(mirrored.keys(), dots.keys());
    QVERIFY(dots[2] < dots[3] && dots[3] < dots[5]);
    for (int s : dots.keys())
        QCOMPARE(mirrored[s], 200 - dots[s]);
    QVERIFY(QString::fromStdString(right.out).contains(QLatin1String(">C Maj</text>")));
}

void TestCli::pngBox()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("box.png"));
    QCOMPARE(run(words("name x02010 --format png --size 123x77 -o") << file).code, 0);
    QCOMPARE(QImage(file).size(), QSize(123, 77));
    const Run bytes = run(words("chord A 7th 5 --format png --size 150"));
    QCOMPARE(QImage::fromData(QByteArray::fromStdString(bytes.out)).width(), 150);
}

QTEST_MAIN(TestCli)
#include "test_cli.moc"

// The command line: the same chords as the window, names that find every
// voicing again, the mistakes it reports, and the chord boxes it draws.
#include "windowtest.h"

#include <QCheckBox>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <fcntl.h>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <unistd.h>

#include "chordsymbol.h"
#include "commandline.h"
#include "controls.h"
#include "diagrampng.h"
#include "shapenames.h"
#include "windowchord.h"
#include "windowdisplay.h"

using namespace chordmoss;
using namespace Qt::StringLiterals;

namespace {

QStringList words(const char* text) { return QString::fromLatin1(text).split(QLatin1Char(' ')); }

/// Sets or removes environment variables, and restores them when it goes.
struct ScopedEnvironment {
    std::map<QByteArray, std::optional<QByteArray>> saved;
    void set(const QByteArray& name, const std::optional<QByteArray>& value)
    {
        if (!saved.count(name))
            saved[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
        value ? void(qputenv(name, *value)) : void(qunsetenv(name));
    }
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : saved)
            value ? void(qputenv(name, *value)) : void(qunsetenv(name));
    }
};

struct Run {
    int code;
    std::string out, err;
};
Run run(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int code = RunCommandLine(args, out, err, DiagramPng, DiagramPdf);
    return {code, out.str(), err.str()};
}
Run run(const QStringList& args)
{
    std::vector<std::string> a;
    for (const QString& s : args)
        a.push_back(s.toStdString());
    return run(a);
}
/// The words of `line` as bytes, whatever they hold; "~" is a blank inside a word.
Run run(const QByteArray& line)
{
    std::vector<std::string> a;
    for (const QByteArray& w : line.split(' '))
        a.push_back(QByteArray(w).replace('~', ' ').toStdString());
    return run(a);
}
QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

/// The dots of an SVG chord box, string -> centre; {-1: 0} when it is no XML
/// or has text outside its text elements.
QMap<int, QPointF> svgDots(const std::string& svg)
{
    QMap<int, QPointF> dots;
    QXmlStreamReader xml(QByteArray::fromStdString(svg));
    int inText = 0;
    bool stray = false;
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        const bool holdsText = xml.name() == "text"_L1 || xml.name() == "title"_L1;
        inText += xml.isStartElement() && holdsText ? 1 : xml.isEndElement() && holdsText ? -1 : 0;
        stray = stray || (xml.isCharacters() && !xml.isWhitespace() && inText == 0);
        if (xml.isStartElement() && xml.attributes().value("class"_L1) == "dot"_L1)
            dots[xml.attributes().value("data-string"_L1).toInt()] = {xml.attributes().value("cx"_L1).toDouble(),
                                                                      xml.attributes().value("cy"_L1).toDouble()};
    }
    return xml.hasError() || stray ? QMap<int, QPointF>{{-1, {}}} : dots;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    // First: under LeakSanitizer, a child process started after the windows
    // have come and gone upsets its exit check.
    void theProgram()
    {
        auto start = [](const char* args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                        const QString& output = {}) {
            QProcess p;
            p.setProcessEnvironment(env);
            if (!output.isEmpty())
                p.setStandardOutputFile(output);
            p.start(QStringLiteral(CHORDMOSS_BINARY), words(args));
            const bool ended = p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit;
            return std::tuple(ended ? p.exitCode() : -1, p.readAllStandardOutput(), p.readAllStandardError());
        };
        QCOMPARE(start("--version"), std::tuple(0, QByteArray("chordmoss " CHORDMOSS_VERSION "\n"), QByteArray()));
        QCOMPARE(start("chord C Maj", QProcessEnvironment::systemEnvironment(), u"/dev/full"_s),
                 std::tuple(1, QByteArray(), QByteArray("chordmoss: cannot write the result to standard output\n")));
        QCOMPARE(QJsonDocument::fromJson(std::get<1>(start("chord Db maj --format json")))[u"fingering"_s].toString(),
                 u"1xx121"_s);
        QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            headless.remove(QLatin1String(name));
        for (const char* display : {"", ":9999"}) { // none, and one no server answers
            if (*display)
                headless.insert(u"DISPLAY"_s, QLatin1String(display));
            const auto [windowCode, windowOut, windowErr] = start("-style fusion", headless);
            QVERIFY2(windowCode == 1 && windowErr.startsWith("chordmoss: ") && windowErr.count('\n') == 1, windowErr);
        }
        // Handed over to paint, quietly without a runtime directory:
        headless.remove(u"XDG_RUNTIME_DIR"_s);
        const auto [pngCode, png, pngErr] = start("chord A 7th 5 --format png --size 150", headless);
        QVERIFY2(pngCode == 0 && png.startsWith("\x89PNG") && pngErr.isEmpty(), pngErr);
    }

    void outputFile_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("text") << "chord C Maj"_ba;
        QTest::newRow("json") << "find C E G -f json"_ba;
        QTest::newRow("svg") << "name x02010 -f svg"_ba;
        QTest::newRow("png") << "name x02010 -f png"_ba;
    }

    void outputFile()
    {
        // An old file is replaced by what standard output would have shown; nothing else is left.
        QFETCH(QByteArray, line);
        QTemporaryDir dir;
        const QString file = dir.filePath(u"out"_s);
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        const Run written = run(line + " -o " + file.toUtf8());
        QVERIFY2(written.code == 0 && written.out.empty() && written.err.empty(), written.err.c_str());
        QCOMPARE(fileBytes(file), QByteArray::fromStdString(run(line).out));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"out"_s});
        QCOMPARE(run(line + " -o -").out, run(line).out);
    }

    void outputWholeOrNotAtAll()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"c.txt"_s);
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        // A size limit (1 KB) stops the write midway: the old file stays, no temporary file is left.
        QProcess limited;
        limited.start(u"sh"_s, {u"-c"_s, u"ulimit -f 2; exec \"$0\" \"$@\""_s, QStringLiteral(CHORDMOSS_BINARY),
                                u"voicings"_s, u"C"_s, u"-o"_s, file});
        QVERIFY(limited.waitForFinished(10000) && limited.exitStatus() == QProcess::NormalExit);
        QCOMPARE(limited.exitCode(), 1);
        QCOMPARE(limited.readAllStandardError(), "chordmoss: cannot write '" + file.toUtf8() + "': File too large\n");
        QCOMPARE(fileBytes(file), "old"_ba);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"c.txt"_s});
        // Two writers at once: the file is one of the two whole.
        const QByteArray c = QByteArray::fromStdString(run("voicings C"_ba).out), d = QByteArray::fromStdString(run("voicings D"_ba).out);
        for (int i = 0; i < 8; ++i) {
            QProcess first, second;
            first.start(QStringLiteral(CHORDMOSS_BINARY), {u"voicings"_s, u"C"_s, u"-o"_s, file});
            second.start(QStringLiteral(CHORDMOSS_BINARY), {u"voicings"_s, u"D"_s, u"-o"_s, file});
            QVERIFY(first.waitForFinished(10000) && second.waitForFinished(10000));
            QVERIFY(first.exitCode() == 0 && second.exitCode() == 0);
            const QByteArray now = fileBytes(file);
            QVERIFY(now == c || now == d);
        }
    }

    void displayForTheWindow_data()
    {
        // Environment settings (upper case) and the program's arguments.
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("opens");
        QTest::newRow("nothing") << "" << false;
        QTest::newRow("X") << "DISPLAY=:0" << true;
        QTest::newRow("Wayland") << "WAYLAND_DISPLAY=w -style=fusion" << true;
        QTest::newRow("a style is no platform") << "-style=fusion" << false;
        QTest::newRow("-display") << "-display :1" << true;
        QTest::newRow("a word is no option") << "x-display" << false;
        QTest::newRow("-platform") << "QT_QPA_PLATFORM=xcb -platform=offscreen" << true;
        QTest::newRow("xcb without X") << "QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY=w" << false;
        QTest::newRow("xcb on X") << "QT_QPA_PLATFORM=xcb DISPLAY=:0" << true;
        QTest::newRow("a list tried in turn") << "QT_QPA_PLATFORM=wayland;xcb:opt DISPLAY=:0" << true;
    }

    void displayForTheWindow()
    {
        QFETCH(QString, setting);
        QFETCH(bool, opens);
        ScopedEnvironment environment;
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.set(name, std::nullopt);
        QList<QByteArray> args{"chordmoss"};
        for (const QString& w : setting.split(u' ', Qt::SkipEmptyParts))
            w[0].isUpper() ? environment.set(w.section(u'=', 0, 0).toLatin1(), w.section(u'=', 1).toLatin1())
                           : args.append(w.toLatin1());
        std::vector<char*> argv;
        for (QByteArray& a : args)
            argv.push_back(a.data());
        QCOMPARE(!WindowDisplayProblem(int(argv.size()), argv.data()).empty(), !opens);
    }

    void matchesTheWindow_data()
    {
        QTest::addColumn<bool>("fourFrets");
        QTest::addColumn<bool>("alternate");
        QTest::newRow("plain") << false << false;
        QTest::newRow("four frets") << true << false;
        QTest::newRow("alternate") << false << true;
        QTest::newRow("both") << true << true;
    }

    void matchesTheWindow()
    {
        QFETCH(bool, fourFrets);
        QFETCH(bool, alternate);
        Form1 f;
        auto control = [&](const QString& name) { return f.findChild<QObject*>(name); };
        auto combo = [&](const char* name) { return f.findChild<ComboControl*>(QLatin1String(name)); };
        if (fourFrets)
            f.findChild<QCheckBox*>(u"Check1"_s)->click();
        if (alternate)
            f.findChild<QCheckBox*>(u"AltChords"_s)->click();
        for (int i = 0; i < 12 * 63 * 2; ++i) {
            const int r = i / 126, t = i / 2 % 63, p = i % 2 * 5;
            if (i % 126 == 0)
                combo("Combo1")->setListIndex(r);
            // The listing starts from where the computation before left the strings;
            // typing "0" (which runs nothing) makes the type choice compute what it
            // computes after a fresh start.
            combo("Combo3")->setEditText(u"0"_s);
            combo("Combo2")->setListIndex(t);
            combo("Combo3")->setListIndex(p);
            const WindowVoicing v = ChordAsWindowShows({r, t, p, fourFrets, alternate});
            QStringList frets;
            for (int s = 1; s <= 6; ++s) {
                frets << (v.frets[s - 1] < 0 ? u"x"_s : QString::number(v.frets[s - 1]));
                if (v.frets[s - 1] >= 0)
                    QCOMPARE(QString::fromStdString(v.captions[s - 1]),
                             control(u"Label%1"_s.arg(s + 1))->property("Caption").toString());
            }
            QCOMPARE(windowtest::frets(&f), frets.join(u' '));
            QCOMPARE(QString::fromStdString(v.listing), control(u"Text1"_s)->property("Text").toString());
        }
    }

    void namesFindEveryVoicing()
    {
        // Every position and option of every chord.
        for (int i = 0; i < 4 * 13 * 756; ++i) {
            const int options = i / (13 * 756), p = i / 756 % 13, r = i / 63 % 12, t = i % 63;
            const std::vector<ShapeName> names =
                NameShape(ChordAsWindowShows({r, t, p, bool(options & 1), bool(options & 2)}).frets);
            QVERIFY(std::is_partitioned(names.begin(), names.end(), [](const ShapeName& n) { return n.exact; }));
            if (std::none_of(names.begin(), names.end(), [&](auto& n) { return n.root == r && TypeNotes(n.type) == TypeNotes(t); }))
                QFAIL(qPrintable(u"root %1, type %2, position %3 not named"_s.arg(r).arg(t).arg(p)));
        }
    }

    void namesShapes_data()
    {
        // The shape and its listing from the second line, as far as it is given.
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<int>("code");
        QTest::newRow("D/F#") << u"2x0232"_s << u"exact     D/F#          D Maj/F#"_s << 0;
        QTest::newRow("C, five includes") << u"x 3 2 0 1 0"_s
            << u"exact     C             C Maj\nincludes  Cmaj7         C Maj7\nincludes  C6            C 6th\n"
               "includes  C7            C 7th\nincludes  Cadd9         C Add9\nincludes  Cadd#9        C +9\n"
               "          (20 more with --all)"_s << 0;
        QTest::newRow("a seventh chord none of the types is, in root position")
            << u"x75534"_s << u"exact     E7#5#9\nexact     C6Add9/E      C 6Add9/E"_s << 0;
        QTest::newRow("plain before altered") << u"10-10-x-x-10-7"_s
            << u"exact     Gadd9/D       G Add9/D\nexact     Bm7#5/D       B Min7#5/D"_s << 0;
        QTest::newRow("plain sevenths before added notes") << u"xx0233"_s
            << u"exact     Dsus4         D Sus4\nexact     Gsus2/D       G Sus2/D\nincludes  D7sus4        D 7Sus\n"
               "includes  Dm11          D Min11\nincludes  A7sus4/D      A 7Sus/D\nincludes  Gadd9/D"_s << 0;
        QTest::newRow("equal names in root order") << u"xx1212"_s
            << u"exact     D#dim7        D# Dim7\nexact     Adim7/Eb      A Dim7/Eb\nexact     Cdim7/Eb"_s << 0;
        QTest::newRow("root sounding first") << u"x02010"_s
            << u"exact     Am7           A Min7\nexact     C6/A          C 6th/A\nexact     D11/A         D 11/A\n"
               "includes  Am9"_s << 0;
        QTest::newRow("spelled as the chord") << u"x-10-12-12-11-10"_s << u"exact     Gm            G Min"_s << 0;
        QTest::newRow("no type holds them") << u"001234"_s << QString() << 1;
    }

    void namesShapes()
    {
        QFETCH(QString, shape);
        QFETCH(QString, lines);
        QFETCH(int, code);
        const Run r = run(QStringList{u"name"_s} + shape.split(QLatin1Char(' ')));
        const QString out = QString::fromStdString(r.out);
        QVERIFY2(r.code == code && out.section(u'\n', 1).startsWith(lines), r.out.c_str());
        if (lines.contains(u"more with --all"_s))
            QCOMPARE(QString::fromStdString(run(words("name x32010 --all")).out).count(u"\nincludes"_s), 25);
    }

    void jsonSchema_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("fields"); // besides "schema"
        QTest::newRow("chord") << words("chord Cm7 3 -f json") << u"fingering frets bass notes intervals symbol"_s;
        QTest::newRow("find") << words("find C# E -f json") << u"notes chords"_s;
        QTest::newRow("name") << words("name 2x0232 -f json") << u"fingering frets bass notes intervals exact includes"_s;
        QTest::newRow("types") << words("types -f json") << u"types"_s;
        QTest::newRow("voicings") << words("voicings Am7 --max 2 -f json") << u"bass notes intervals symbol voicings"_s;
    }

    void jsonSchema()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, fields);
        const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(run(args).out)).object();
        QCOMPARE(o[u"schema"_s].toInt(), 1);
        for (const QString& f : fields.split(u' '))
            QVERIFY2(o.contains(f), qPrintable(f));
        // Notes are plain note names, an interval beside each (find's are the notes given).
        QJsonArray chords = o[u"exact"_s].toArray();
        for (const QJsonValue& t : o[u"types"_s].toArray())
            chords.append(t);
        for (const QJsonValue& v : o[u"voicings"_s].toArray()) // notes string by string, null where muted
            QVERIFY(v[u"notes"_s].toArray().size() == 6 && v[u"intervals"_s].toArray().size() == 6
                    && v[u"fingers"_s].toArray().size() == 6 && v.toObject().contains(u"barre"_s));
        if (args[0] != "types"_L1)
            chords.append(o);
        for (const QJsonValue& c : chords) {
            const QJsonArray notes = c[u"notes"_s].toArray();
            QVERIFY(!notes.isEmpty() && (c[u"intervals"_s].toArray().size() == notes.size() || args[0] == "find"_L1));
            for (const QJsonValue& n : notes)
                QVERIFY2(QRegularExpression(u"^[A-G][#b]?$"_s).match(n.toString()).hasMatch(), qPrintable(n.toString()));
        }
        QCOMPARE(o[u"types"_s].toArray().size(), args[0] == "types"_L1 ? 63 : 0);
        if (args[0] == "name"_L1)
            QCOMPARE(o[u"exact"_s][0][u"symbol"_s].toString(), u"D/F#"_s);
    }

    void sameAnswer_data()
    {
        // Two ways to ask for one answer.
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("same");
        QTest::newRow("symbol, two words") << "chord Cm7 3"_ba << "chord C Min7 3"_ba;
        QTest::newRow("symbol split in two") << "chord C m7 3"_ba << "chord C Min7 3"_ba;
        QTest::newRow("a number as the type") << "chord C 7"_ba << "chord C7"_ba;
        QTest::newRow("sharp root") << "chord C# Maj"_ba << "chord Db Maj"_ba;
        QTest::newRow("flat root") << "chord Cb Maj"_ba << "chord B Maj"_ba;
        QTest::newRow("find reads sharps") << "find C# E G#"_ba << "find Db E Ab"_ba;
        QTest::newRow("find's enharmonic notes") << "find Cb E# Fb B#"_ba << "find B F E C"_ba;
        QTest::newRow("find in lower case") << "find a c e~"_ba << "find A C E"_ba;
        QTest::newRow("an abbreviated option") << "chord C --four"_ba << "chord C --four-frets"_ba;
        QTest::newRow("-fjson") << "chord C -fjson"_ba << "chord C --format json"_ba;
        QTest::newRow("=value") << "find C --position=5"_ba << "find C --position 5"_ba;
    }

    void sameAnswer()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, same);
        const Run r = run(line);
        QVERIFY2(r.code == 0 && !r.out.empty() && r.err.empty(), r.err.c_str());
        QCOMPARE(r.out, run(same).out);
    }

    void answers_data()
    {
        // A part of the answer; "!" before it: a part it must not have.
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("part");
        QTest::newRow("find") << "find C E G"_ba << "\nC  Maj           0x2010\n"_ba;
        QTest::newRow("find, four frets") << "find C E G --four-frets"_ba << "\nC  Maj           032010\n"_ba;
        QTest::newRow("find at a position") << "find C E G --position 5"_ba << "\nC  Maj           x7555x\n"_ba;
        QTest::newRow("find, alternate") << "find C E G --position 3 --alternate"_ba << "A  Min7          535555\n"_ba;
        QTest::newRow("find, JSON") << "find C E G --position 3 --four-frets --alternate -f json"_ba
                                    << "\"position\": 3,\n  \"fourFrets\": true,\n  \"alternate\": true,\n  \"chords\": [\n"
                                       "    {\"root\": \"A\", \"type\": \"Min7\", \"name\": \"A Min7\", \"symbol\": \"Am7\", \"bass\": \"A\", "
                                       "\"fingering\": \"535555\""_ba;
        QTest::newRow("position 12") << "chord C 12"_ba << "C Maj, position 12\n"_ba;
        QTest::newRow("types") << "types"_ba
                               << "\nMin7b5         Cm7b5          C Eb Gb Bb        1 b3 b5 b7         Cm7b5 C\xc3\xb8"_ba;
        QTest::newRow("bass A in JSON") << "voicings C/A --max 1 -f json"_ba << "\"symbol\": \"C/A\",\n  \"bass\": \"A\","_ba;
        QTest::newRow("open strings in JSON") << "voicings C/A --max 1 -f json"_ba
                                              << "\"bass\": \"A\", \"notes\": [null, \"A\", \"E\", \"G\", \"C\", \"E\"]"_ba;
        QTest::newRow("a seventh chord none of the types is, in JSON")
            << "name 0x0113 -f json"_ba << "{\"root\": \"E\", \"type\": null, \"symbol\": \"E7#5#9\", \"name\": null"_ba;
        QTest::newRow("a type with notes of its own") << "types -f json"_ba << "\"major\"], \"sameNotesAs\": null}"_ba;
        QTest::newRow("text box at the nut") << "chord C Maj"_ba << "\n  o x   o   o\n  ===========\n"_ba;
        QTest::newRow("open strings alone") << "name 000000"_ba << "\nexact     Em11          E Min11\n"_ba;
        QTest::newRow("interval label") << "name x02010 -f svg"_ba << ">7b</text>"_ba;
        // Open strings are rings, fretted ones solid dots.
        QTest::newRow("open ring") << "name x02010 -f svg"_ba << "fill=\"#ffffff\" stroke=\"#222222\" stroke-width=\"1.5\"/>"_ba;
        QTest::newRow("fretted dot") << "name x02010 -f svg"_ba << " fill=\"#222222\"/>"_ba;
        QTest::newRow("nut") << "name x02010 -f svg"_ba << "class=\"nut\""_ba;
        QTest::newRow("no fret number at the nut") << "name x02010 -f svg"_ba << "!fr</text>"_ba;
        QTest::newRow("note labels") << "name x02010 -f svg --labels note"_ba << ">G</text>"_ba;
        QTest::newRow("note label up the neck") << "chord A 7th 5 -f svg --labels note"_ba << ">Db</text>"_ba;
        QTest::newRow("open string's label") << "chord C Maj -f svg --labels note"_ba << ">G</text>"_ba;
        QTest::newRow("fret number") << "chord A 7th 5 -f svg"_ba << ">5fr</text>"_ba;
        QTest::newRow("no nut up the neck") << "chord A 7th 5 -f svg"_ba << "!class=\"nut\""_ba;
        QTest::newRow("labels centred on their dots") << "chord A 7th 5 -f svg"_ba << "text-anchor=\"middle\""_ba;
        QTest::newRow("voicings") << "voicings C Maj"_ba << "C (C Maj): C E G - 579 voicings\n   1  x32010            fingers x32010 "_ba;
        QTest::newRow("open strings with a hand up to fret 4") << "voicings B Min --max 1"_ba << "\n   1  x20402 "_ba;
        QTest::newRow("voicings spelled") << "voicings E"_ba << "E (E Maj): E G# B - "_ba;
        QTest::newRow("voicings of a symbol") << "voicings F#m7b5 --max 1"_ba << "F#m7b5 (F# Min7b5): F# A C E - "_ba;
        QTest::newRow("fingers and barre") << "voicings F Maj --max 3"_ba
                                           << "\n   1  133211            fingers 134211  difficulty 7.90    barre fret 1 strings 6-1\n"_ba;
        QTest::newRow("the first N") << "voicings F Maj --max 3"_ba << "!\n   4  "_ba;
        QTest::newRow("widest box") << "chord C Maj -f svg --size 4096x16"_ba << "width=\"4096\" height=\"16\""_ba;
        QTest::newRow("highest box") << "chord C Maj -f svg --size 16x4096"_ba << "width=\"16\" height=\"4096\""_ba;
        QTest::newRow("a title made UTF-8 XML") << "sheet C --title \xff\x01"_ba << ">\xef\xbf\xbd\xef\xbf\xbd</text>"_ba;
    }

    void answers()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, part);
        const Run r = run(line);
        const bool absent = part.startsWith('!');
        QVERIFY2(r.code == 0 && r.err.empty(), r.err.c_str());
        QVERIFY2(QByteArray::fromStdString(r.out).contains(part.mid(absent ? 1 : 0)) != absent, r.out.substr(0, 2000).c_str());
    }

    void mistakes_data()
    {
        // The words as bytes, "~" a blank inside a word.
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("root") << "chord H Maj"_ba << 2 << u"'H' does not start with a root"_s;
        QTest::newRow("slash") << "chord C/E"_ba << 2 << u"no slash bass"_s;
        QTest::newRow("position") << "chord C Maj 13"_ba << 2 << u"position '13' is not"_s;
        QTest::newRow("minus nought") << "chord C Maj -0"_ba << 2 << u"position '-0' is not"_s;
        QTest::newRow("letter") << "find h"_ba << 2 << u"'h' is not a note"_s;
        QTest::newRow("first box") << "find  C"_ba << 2
                                   << u"Please enter the notes in the chord"_s;
        QTest::newRow("six notes") << "find C D E F G A"_ba << 2 << u"five search boxes"_s;
        QTest::newRow("same note twice") << "find C c"_ba << 1 << u"Not Found"_s;
        QTest::newRow("short shape") << "name x3201"_ba << 2 << u"gives 5"_s;
        QTest::newRow("bad fret") << "name x-3-2-0-1-25"_ba << 2 << u"string 6: '25' is neither a fret"_s;
        QTest::newRow("minus nought fret") << "name x 3 2 0 1 -0"_ba << 2 << u"string 6: '-0' is neither"_s;
        QTest::newRow("silent shape") << "name xxxxxx"_ba << 2 << u"no string sounds"_s;
        QTest::newRow("format") << "find C --format=svg"_ba << 2 << u"format 'svg'"_s;
        QTest::newRow("size") << "chord C Maj -f svg --size 4097"_ba << 2 << u"size '4097'"_s;
        QTest::newRow("height") << "chord C Maj -f svg --size 16x15"_ba << 2 << u"size '16x15'"_s;
        QTest::newRow("size for text") << "chord C --size 300"_ba << 2 << u"--size is for chord boxes"_s;
        QTest::newRow("labels for json") << "name x32010 -f json --labels note"_ba << 2 << u"--labels is for"_s;
        QTest::newRow("left-handed json") << "chord C -f json --left-handed"_ba << 2 << u"json draws none"_s;
        QTest::newRow("option") << "chord C Maj --frets"_ba << 2 << u"unknown option '--frets'"_s;
        QTest::newRow("command") << "A Maj"_ba << 2 << u"chordmoss chord A Maj)"_s;
        QTest::newRow("unwritable") << "chord C Maj -o /nonexistent/c.txt"_ba << 1 << u"cannot write"_s;
        QTest::newRow("voicings type") << "voicings Cmja7"_ba << 2 << u"closest: Cmaj7"_s;
        QTest::newRow("voicings max") << "voicings C Maj --max 0"_ba << 2 << u"--max '0' is not"_s;
        QTest::newRow("voicings near") << "voicings C Maj --near 16"_ba << 2 << u"from 0 to 15"_s;
        QTest::newRow("voicings bass") << "voicings C Maj --bass H"_ba << 2 << u"--bass 'H' is not a note"_s;
        QTest::newRow("empty position") << "chord C Maj "_ba << 2 << u"position '' is not"_s;
        QTest::newRow("size past int") << "chord C -f svg --size 4294967312"_ba << 2
                                       << u"size '4294967312' is not WIDTH or WIDTHxHEIGHT, each 16 to 4096 pixels"_s;
        QTest::newRow("size and a letter") << "name x32010 -f png --size 16x"_ba << 2 << u"size '16x'"_s;
        QTest::newRow("size with a sign") << "chord C -f svg --size +300"_ba << 2 << u"size '+300'"_s;
        QTest::newRow("a box too high") << "chord C -f png --size 4096"_ba << 2
                                        << u"the drawing would be 4096x4547 pixels; each side is 16 to 4096, which a width of 16 to 3690"_s;
        QTest::newRow("a grid too high") << "voicings C --max 100 -f svg"_ba << 2 << u"the drawing would be 800x"_s;
        QTest::newRow("position past int") << "find C --position 4294967312"_ba << 2 << u"position '4294967312' is not"_s;
        QTest::newRow("position with a sign") << "chord C Maj +5"_ba << 2 << u"position '+5' is not"_s;
        QTest::newRow("max past int") << "voicings C --max 99999999999"_ba << 2
                                      << u"--max '99999999999' is not a whole number from 1 to 100000"_s;
        QTest::newRow("near minus nought") << "voicings C --near -0"_ba << 2 << u"--near '-0' is not"_s;
        QTest::newRow("columns and a letter") << "sheet C --columns 4x"_ba << 2 << u"--columns '4x' is not a whole number from 1 to 8"_s;
        QTest::newRow("escape sequence") << "chord \x1b[31mC"_ba << 2 << u"'\\e[31mC' does not start"_s;
        QTest::newRow("bell") << "find \x07"_ba << 2 << u"'\\x07' is not a note"_s;
        QTest::newRow("first four-byte character") << "find C\xf0\x90\x80\x80"_ba << 2 << u"'C\U00010000' is not a note"_s;
        QTest::newRow("overlong four bytes") << "find C\xf0\x8f\xbf\xbf"_ba << 2 << u"'C\\xf0\\x8f\\xbf\\xbf' is not"_s;
        QTest::newRow("first three-byte character") << "find C\xe0\xa0\x80"_ba << 2 << u"'C\u0800' is not"_s;
        QTest::newRow("surrogate") << "find C\xed\xa0\x80"_ba << 2 << u"'C\\xed\\xa0\\x80' is not"_s;
        QTest::newRow("last before the surrogates") << "find C\xed\x9f\xbb"_ba << 2 << u"'C\ud7fb' is not"_s;
        QTest::newRow("C1 control") << "find C\xc2\x9b"_ba << 2 << u"'C\\xc2\\x9b' is not a note"_s;
        QTest::newRow("last two-byte character") << "find C\xdf\xbf"_ba << 2 << u"'C\u07ff' is not"_s;
        QTest::newRow("no-break space, printable") << "find C\xc2\xa0"_ba << 2 << u"'C\u00a0' is not a note"_s;
        QTest::newRow("no UTF-8") << "find C\xff"_ba << 2 << u"'C\\xff' is not a note"_s;
        QTest::newRow("very long") << "chord " + QByteArray(100000, 'C') << 2 << u"CCC\u2026' is no chord symbol"_s;
        QTest::newRow("double sharp note") << "find Cx"_ba << 2 << u"'Cx' is not a note"_s;
        QTest::newRow("two letters") << "find CC"_ba << 2 << u"'CC' is not a note"_s;
        QTest::newRow("two notes in a word") << "find C~E"_ba << 2 << u"'C E' is not a note"_s;
        QTest::newRow("double flat") << "find Cbb"_ba << 2 << u"'Cbb' is not a note"_s;
        QTest::newRow("ambiguous option") << "chord C --l"_ba << 2 << u"ambiguous option '--l' for 'chord'"_s;
        QTest::newRow("needs a value") << "chord C -f svg --size"_ba << 2 << u"option '--size' needs a value"_s;
        QTest::newRow("takes no value") << "chord C --four-frets=yes"_ba << 2 << u"option '--four-frets' takes no value"_s;
        QTest::newRow("another command's option") << "find C --all"_ba << 2 << u"unknown option '--all' for 'find'"_s;
        QTest::newRow("options ended") << "chord C Maj -- --four-frets"_ba << 2 << u"position '--four-frets' is not"_s;
        QTest::newRow("two sharps on a root") << "chord C## Maj"_ba << 2 << u"'C##' is no chord symbol"_s;
        QTest::newRow("two flats on a root") << "chord Cbb Maj"_ba << 2 << u"'Cbb' is no chord symbol"_s;
        QTest::newRow("one too many") << "chord C Maj 3 4"_ba << 2 << u"'4' is one too many"_s;
        QTest::newRow("no shape") << "name"_ba << 2 << u"'name' needs a shape"_s;
        QTest::newRow("a word past the shape") << "name x32010 x"_ba << 2 << u"'x32010 x' gives 2"_s;
        QTest::newRow("labels") << "name x32010 -f svg --labels fret"_ba << 2 << u"labels 'fret' is not one of interval, note, finger"_s;
        QTest::newRow("full device") << "chord C Maj -o /dev/full"_ba << 1 << u"cannot write '/dev/full': No space left on device"_s;
        QTest::newRow("voicings text mirrored") << "voicings C --left-handed"_ba << 2 << u"has none"_s;
    }

    void help()
    {
        for (const QStringList& args : {QStringList(), words("--help"), words("-h"), words("help"), words("find -h")}) {
            const Run r = run(args);
            QVERIFY2(r.code == 0 && r.out.starts_with("Usage: chordmoss ") && r.err.empty(), qPrintable(args.join(u' ')));
        }
    }

    void pngNotForTheTerminal()
    {
        // Standard output on a terminal: every text goes there, a PNG does not, a PNG file does.
        const int master = posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
        const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY), saved = dup(STDOUT_FILENO);
        dup2(terminal, STDOUT_FILENO);
        std::ostringstream err;
        int text = 0;
        for (const std::vector<std::string>& args : {std::vector<std::string>{"chord", "C", "Maj"}, {"name", "x02010"}, {"find", "C", "E", "G"}})
            text = std::max(text, RunCommandLine(args, std::cout, err, DiagramPng));
        const int png = RunCommandLine({"chord", "C", "Maj", "-f", "png"}, std::cout, err, DiagramPng);
        QTemporaryDir dir;
        const std::string file = dir.filePath(u"c.png"_s).toStdString();
        const int pngFile = RunCommandLine({"chord", "C", "Maj", "-f", "png", "-o", file}, std::cout, err, DiagramPng);
        // A PDF that could not be made says so, there too.
        const PdfPainter noPdf = [](const ChordDiagram&, const std::string&) { return std::string(); };
        const int pdf = RunCommandLine({"sheet", "C", "-f", "pdf"}, std::cout, err, DiagramPng, noPdf);
        dup2(saved, STDOUT_FILENO);
        for (int fd : {saved, terminal, master})
            close(fd);
        QCOMPARE(std::tuple(text, png, pngFile, pdf), std::tuple(0, 2, 0, 1));
        QCOMPARE(err.str(), "chordmoss: a PNG is not for the terminal; give --output FILE or redirect standard output\n"
                            "chordmoss: the PDF could not be written\n");
        QVERIFY(QImage(QString::fromStdString(file)).width() == 400);
        // A painter that fails is a file not written.
        std::ostringstream none, why;
        const PngPainter broken = [](const ChordDiagram&, int, int) { return std::string(); };
        QCOMPARE(RunCommandLine({"name", "x02010", "-f", "png"}, none, why, broken), 1);
        QCOMPARE(none.str() + why.str(), "chordmoss: the PNG could not be painted\n");
    }

    void mistakes()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, code);
        QFETCH(QString, message);
        const Run r = run(line);
        QCOMPARE(r.code, code);
        // One short line of UTF-8 with no control character, whatever the arguments held.
        const QByteArray err = QByteArray::fromStdString(r.err);
        QVERIFY2(QString::fromUtf8(err).contains(message) && err.count('\n') == 1 && err.endsWith('\n')
                     && err.size() < 400 && QString::fromUtf8(err).toUtf8() == err && r.out.empty()
                     && std::none_of(err.begin(), err.end() - 1, [](char c) { return uchar(c) < 0x20 || c == 0x7f; }),
                 err.left(400));
    }

    void voicings()
    {
        const QJsonObject slash = QJsonDocument::fromJson(QByteArray::fromStdString(
                                      run(words("voicings C/E --max 5 --format json")).out)).object();
        QCOMPARE(slash[u"symbol"_s].toString(), u"C/E"_s);
        QCOMPARE(run(words("voicings C Maj --bass E --max 5 --format json")).out,
                 run(words("voicings C/E --max 5 --format json")).out);
        QCOMPARE(slash[u"voicings"_s].toArray().size(), 5);
        for (const QJsonValue v : slash[u"voicings"_s].toArray())
            QCOMPARE(v[u"bass"_s].toString(), u"E"_s);
        const QJsonValue near = QJsonDocument::fromJson(QByteArray::fromStdString(
            run(words("voicings C Maj --near 8 --max 1 -f json")).out))[u"voicings"_s][0];
        QCOMPARE(near[u"lowestFret"_s].toInt(), 8);
        QCOMPARE(near[u"barre"_s][u"from"_s].toInt(), 6);
        // A grid of twelve boxes by default, numbered with fingers; a barre is one bar.
        const std::string grid = run(words("voicings A Min7 -f svg")).out;
        QVERIFY(!svgDots(grid).contains(-1));
        QCOMPARE(QString::fromStdString(grid).count(u"class=\"title\""_s), 12);
        const QString barre = QString::fromStdString(run(words("name 133211 -f svg --labels finger")).out);
        QCOMPARE(barre.count(u"class=\"barre\""_s), 1);
        QCOMPARE(barre.count(u"class=\"dot\""_s), 3);
        for (const char* finger : {">1</text>", ">2</text>", ">3</text>", ">4</text>"})
            QCOMPARE(barre.count(QLatin1String(finger)), 1);
    }

    void sheet()
    {
        // One box a chord, titled in order, each the easiest voicing.
        const QString svg = QString::fromStdString(run(words("sheet C G/B Am7 Fmaj7 --title") << u"Autumn Song"_s).out);
        QRegularExpressionMatchIterator titles = QRegularExpression(u"class=\"title\"[^>]* y=\"([^\"]*)\"[^>]*>([^<]*)<"_s).globalMatch(svg);
        QStringList order, rows;
        while (titles.hasNext()) {
            const QRegularExpressionMatch m = titles.next();
            order << m.captured(2), rows << m.captured(1);
        }
        QCOMPARE(order, QStringList({u"C"_s, u"G/B"_s, u"Am7"_s, u"Fmaj7"_s}));
        QCOMPARE(rows, QStringList(4, rows[0])); // four boxes fit in a row
        QVERIFY(svg.contains(u"width=\"210mm\" height=\"297mm\""_s) && svg.contains(u">Autumn Song</text>"_s));
        QCOMPARE(run(words("sheet Cm7b9")).code, 2);
        // The PDF's page renders, letter-sized, with ink on it.
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"song.pdf"_s);
        QCOMPARE(run(words("sheet C G/B Am7 Fmaj7 --paper letter -o") << pdf).code, 0);
        // The file's name says the format when --format does not.
        QVERIFY(run(words("sheet C -o") << dir.filePath(u"c.svg"_s)).code == 0
                && fileBytes(dir.filePath(u"c.svg"_s)).startsWith("<?xml"));
        QProcess render;
        render.start(u"pdftoppm"_s, {u"-r"_s, u"20"_s, u"-png"_s, u"-singlefile"_s, pdf, dir.filePath(u"page"_s)});
        QVERIFY(render.waitForFinished(20000) && render.exitCode() == 0);
        const QImage page(dir.filePath(u"page.png"_s));
        QCOMPARE(page.size(), QSize(170, 220)); // 8.5 by 11 inches at 20 dots an inch
        int ink = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                ink += qGray(page.pixel(x, y)) < 128;
        QVERIFY2(ink > 200, qPrintable(QString::number(ink)));
    }

    void chordBoxes()
    {
        QCOMPARE(run(words("chord Db Maj7 9 --left-handed")).out,
                 "Db Maj7, position 9\nfingering  9-11-10-10-9-9\nstrings    1-Db  5-Ab  7C  3-F  5-Ab  1-Db\n"
                 "notes      3-F  5-Ab  7-C  1-Db\n\n  -----------\n  * * | | | *  9\n  | | * * | |  10\n"
                 "  | | | | * |  11\n  | | | | | |  12\n");
        const std::string svg = run(words("name x02010 -f svg")).out;
        QCOMPARE(QString::fromStdString(svg).count(u"<line class=\"string\""_s), 6);
        // A ring is smaller than a dot, and so is its label: the open string's 5 against the fretted one's.
        QMap<int, double> fontSizes;
        for (const QRegularExpressionMatch& m : QRegularExpression(u"class=\"label\" data-string=\"(\\d)\"[^>]*font-size=\"([0-9.]+)\""_s)
                                                    .globalMatch(QString::fromStdString(svg)))
            fontSizes[m.captured(1).toInt()] = m.captured(2).toDouble();
        QVERIFY2(fontSizes.value(6) > 0 && fontSizes.value(6) < fontSizes.value(3), qPrintable(QString::number(fontSizes.value(6))));
        const std::string json = run(words("chord C min7\\b3 -f json")).out;
        QCOMPARE(QJsonDocument::fromJson(QByteArray::fromStdString(json))[u"type"_s].toString(), u"Min7\\b3"_s);
        const QMap<int, QPointF> dots = svgDots(run(words("chord C Maj --four-frets --format svg")).out); // 032010
        const QMap<int, QPointF> mirrored =
            svgDots(run(words("chord C Maj --four-frets --format svg --left-handed")).out);
        QCOMPARE(dots.keys(), QList<int>({2, 3, 5}));
        QCOMPARE(mirrored.keys(), dots.keys());
        QVERIFY(dots[2].x() < dots[3].x() && dots[3].x() < dots[5].x());
        for (int s : dots.keys())
            QCOMPARE(mirrored[s].x(), 200 - dots[s].x());
        const Run png = run(words("name x02010 --format png --size 123x77"));
        QCOMPARE(QImage::fromData(QByteArray::fromStdString(png.out)).size(), QSize(123, 77));
        // At five pixels to the unit a dot ends at its radius (52.5): no outline
        // widens it (read off the string and fret lines through its centre), and
        // its label is centred on it.
        const QImage big = QImage::fromData(QByteArray::fromStdString(run(words("name x02010 -f png --size 1000")).out));
        const QPointF centre = svgDots(svg)[3] * 5;
        double fringe = 0, labelX = 0;
        int n = 0, label = 0;
        for (int y = int(centre.y()) - 55; y <= centre.y() + 55; ++y)
            for (int x = int(centre.x()) - 55; x <= centre.x() + 55; ++x) {
                const QPointF v = QPointF(x + 0.5, y + 0.5) - centre;
                const double d = std::hypot(v.x(), v.y());
                if (d > 52.9 && d < 53.4 && std::min(std::abs(v.x()), std::abs(v.y())) > 15)
                    fringe += 255 - qGray(big.pixel(x, y)), ++n;
                if (d < 45 && qGray(big.pixel(x, y)) > 128)
                    labelX += v.x(), ++label;
            }
        QVERIFY2(n > 50 && fringe / n < 15, qPrintable(QString::number(fringe / n)));
        QVERIFY2(label > 100 && std::abs(labelX / label) < 3, qPrintable(QString::number(labelX / label)));
        const Run box = run(words("chord A 7th 5 -f png --size 150"));
        QCOMPARE(QImage::fromData(QByteArray::fromStdString(box.out)).height(), 167);
    }
};

QTEST_MAIN(TestCli)
#include "test_cli.moc"

#include "Form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QMessageBox>
#include <QEventLoop>
#include <QShortcut>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <utility>

#include "Form2.h"
#include "accessiblenames.h"
#include "boardlayout.h"
#include "chordformulas.h"
#include "controls.h"
#include "fretboardzones.h"
#include "mediaplayer.h"
#include "noteentry.h"
#include "notetables.h"
#include "playstring.h"
#include "runit.h"
#include "samplenames.h"
#include "samplemixer.h"
#include "searchwalk.h"
#include "spokenstring.h"
#include "stringedits.h"
#include "strum.h"
#include "volumeslider.h"

namespace chordmoss {

namespace {

/// Runs `then` from the event loop once its widget has been painted the
/// first time, and goes.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QObject* parent, std::function<void()> then) : QObject(parent), m_then(std::move(then)) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && m_then) {
            QTimer::singleShot(0, parent(), std::exchange(m_then, {}));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_then;
};

const QColor kWindowColour(255, 224, 192);
const QColor kOrange(255, 128, 0);
const QColor kPeach(255, 192, 128);
const QColor kFrameColour(128, 64, 64);

const QString kTitle = QStringLiteral("Razedu");

const QString kHelpText = QStringLiteral(
    "Select chord by changing the three combo boxes. Click on the fret bar to change the fret position. To hear "
    "the chord move the cursor over the strings next to the pickup or click the hear button. To turn notes on and "
    "off click on the note labels. To Search for an unknown chord, enter the notes in the search boxes and click "
    "the search button. Touch the 'NEXT' buton to continue the search. To move the fingering up or down right "
    "click on the label on the left or right side or click the buttons under the chord label");

// The keys, shown under the help text: the window is used without a mouse too.
const QString kKeysText = QStringLiteral(
    "Keys: Tab moves between the controls; Up and Down choose in a list, Alt+Down opens it. F9 opens the volume "
    "window, whose slider moves with the arrow keys, Page Up, Page Down, Home and End; Escape closes it. F10 or "
    "Alt+F opens the menus, F1 shows this help, Ctrl+Q exits.");

const QString kAboutText = QStringLiteral(
    "Chordmoss %1\n\nA guitar chord dictionary and chord finder: pick a root, a chord type and a position to see "
    "and hear a fingering, or enter notes to find the chords that contain them.")
                               .arg(QStringLiteral(CHORDMOSS_VERSION));

// The numbers stand over their frets: 12 at the left, the nut (0) at the right.
const QString kFretNumbers = QStringLiteral("12 11  10   9    8      7     6     5       4       3        2        1      0");

/// Returns the picture in the file at `path`, named by the file system's
/// bytes: an installation path need not be valid UTF-8, and a QString would
/// not carry it. A null pixmap when it cannot be read.
QPixmap pixmapAt(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    QPixmap picture;
    picture.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), uint(bytes.size()));
    return picture;
}

// The guitar picture, drawn for one and for two device pixels to the pixel.
const char* const kPlainPicture = "guitar.jpg";
const char* const kDensePicture = "guitar@2x.jpg";

QFont sansFont(double points) { return windowFont(points); }

void setBackground(QWidget* w, const QColor& c)
{
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, c);
    pal.setColor(QPalette::Button, c); // check boxes fill with the button colour
    w->setPalette(pal);
}

QStringList rootItems()
{
    QStringList items;
    for (std::string_view n : kChromaticFromA)
        items << QString::fromLatin1(n.data(), qsizetype(n.size()));
    return items;
}

QStringList typeItems()
{
    QStringList items;
    for (const ChordFormula& f : ChordFormulas)
        items << QString::fromLatin1(f.key.data(), qsizetype(f.key.size()));
    return items;
}

QStringList positionItems()
{
    QStringList items;
    for (int f = 0; f <= 12; ++f)
        items << QStringLiteral("%1 ").arg(f);
    return items;
}

} // namespace

Form1::Form1(QWidget* parent, PlayerFactory makePlayer) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kTitle);
    QGuiApplication::setDesktopFileName(QStringLiteral(CHORDMOSS_APP_ID));
    setPalette(fixedPalette());
    // What the program's data folders lack is said once, on standard error;
    // the window opens all the same.
    const std::string missing = MissingDataReport({kPlainPicture, kDensePicture});
    if (!missing.empty())
        std::fputs(missing.c_str(), stderr);
    QIcon icon;
    for (int size : {16, 32, 48, 256}) {
        const std::string path = FindDataFile("icon-" + std::to_string(size) + ".png");
        if (!path.empty())
            icon.addPixmap(pixmapAt(path));
    }
    setWindowIcon(icon);
    setFont(sansFont(8.25));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setBackground(client, kWindowColour);
    setCentralWidget(client);

    buildMenus();
    // The client area's size; the frame stays resizable, and nothing in the
    // layout follows a resize.
    client->resize(int(13770 / kTwips), int(7935 / kTwips));
    resize(client->width(), client->height() + menuBar()->sizeHint().height());
    buildPictureArea(client);
    buildUpperBand(client);

    // One player per string; the program's own have their samples decoded
    // in the background once the window is on the screen.
    if (!makePlayer) {
        makePlayer = &MediaPlayer::create;
        client->installEventFilter(new AfterFirstPaint(client, [this] { preloadSamples(); }));
    }
    for (int s = 1; s <= 6; ++s) {
        m_ownedPlayers[s] = makePlayer(s);
        m_players[s] = m_ownedPlayers[s].get();
    }

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);

    describeMainWindow(this);
    Form_Load();
    syncDisplay();
    m_combo1->setFocus();
    m_timer1->start();
}

Form1::~Form1()
{
    // Children still lose the focus while they are torn down; no handler may
    // run on a half-destroyed window.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

void Form1::buildMenus()
{
    // The ampersands only underline the letter that Alt takes.
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File"));
    file->setPalette(palette()); // a popup is a window of its own
    file->setFont(font());
    QAction* exitAction = file->addAction(QStringLiteral("&Exit"));
    exitAction->setObjectName(QStringLiteral("Exit"));
    exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exitAction, &QAction::triggered, this, &Form1::Exit_Click);
    // The boxes open once the menu's action has returned: a screen reader
    // that pressed the item through its bus gets its answer at once, rather
    // than when the box is closed.
    QAction* about = menuBar()->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("Abt"));
    connect(about, &QAction::triggered, this, &Form1::Abt_Click, Qt::QueuedConnection);
    QAction* help = menuBar()->addAction(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("HLP"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    connect(help, &QAction::triggered, this, &Form1::HLP_Click, Qt::QueuedConnection);
    // F10 opens the first menu, as on other desktops' windows.
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
            [this, file] { menuBar()->setActiveAction(file->menuAction()); });
}

void Form1::buildUpperBand(QWidget* client)
{
    auto label = [&](const char* name, double l, double t, double w, double h, const QString& caption) {
        auto* lab = new LabelControl(client, QString::fromLatin1(name), l, t, w, h, caption);
        setBackground(lab, kWindowColour);
        return lab;
    };
    label("Label1", 2880, 120, 3255, 255,
          QStringLiteral("Chord                     Type                  Position"));
    label("Label14", 600, 360, 2055, 375, QStringLiteral("Select Chord,Type,and Pos"));
    m_combo1 = new ComboControl(client, QStringLiteral("Combo1"), 2760, 360, 735, 315, rootItems(), QStringLiteral("C "));
    m_combo2 = new ComboControl(client, QStringLiteral("Combo2"), 3720, 360, 1455, 315, typeItems(), QStringLiteral("Maj "));
    m_combo3 = new ComboControl(client, QStringLiteral("Combo3"), 5280, 360, 855, 315, positionItems(), QStringLiteral("0"));
    label("Label13", 600, 720, 2055, 375, QStringLiteral("Notes and position in chord"));
    m_text1 = new TextBoxControl(client, QStringLiteral("Text1"), 2760, 720, 3375, 375);
    m_text1->bindText(&m_board.text1);
    label("Label10", 3120, 1200, 2775, 255, QStringLiteral("Enter Search Notes Below"));
    auto* command1 = new ButtonControl(client, QStringLiteral("Command1"), 1680, 1440, 855, 375, QStringLiteral("Search"));
    const double searchLefts[5] = {2760, 3360, 3960, 4560, 5040};
    for (int i = 0; i < 5; ++i) {
        auto* box = new TextBoxControl(client, QStringLiteral("Search1_%1").arg(i), searchLefts[i], 1440, 375, 375);
        m_search[i] = box;
        connect(box, &QLineEdit::textChanged, this, [this, i] { Search1_Change(i); });
        connect(box, &TextBoxControl::lostFocus, this, [this, i] { Search1_LostFocus(i); });
    }
    auto* command2 = new ButtonControl(client, QStringLiteral("Command2"), 5520, 1440, 855, 375, QStringLiteral("Next"));
    auto* command3 = new ButtonControl(client, QStringLiteral("Command3"), 6480, 1440, 855, 375, QStringLiteral("Clear"));
    m_check1 = new CheckControl(client, QStringLiteral("Check1"), 2760, 1920, 2775, 255,
                                QStringLiteral("Show chords that expand 4 frets"));
    m_altChords = new CheckControl(client, QStringLiteral("AltChords"), 5640, 1920, 2775, 255,
                                   QStringLiteral("Show Alternate Fingering"));
    // Everything in the upper band but the buttons has the window colour behind it.
    for (QWidget* w : {static_cast<QWidget*>(m_check1), static_cast<QWidget*>(m_altChords)})
        setBackground(w, kWindowColour);
    QList<QWidget*> fields = {m_combo1, m_combo2, m_combo3, m_text1};
    for (TextBoxControl* box : m_search)
        fields << box;
    for (QWidget* w : fields) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Base, kWindowColour);
        pal.setColor(QPalette::Button, kWindowColour);
        w->setPalette(pal);
    }

    connect(m_combo1, &ComboControl::listClicked, this, &Form1::Combo1_Click);
    connect(m_combo2, &ComboControl::listClicked, this, &Form1::Combo2_Click);
    connect(m_combo3, &ComboControl::listClicked, this, &Form1::Combo3_Click);
    connect(m_altChords, &QCheckBox::clicked, this, &Form1::AltChords_Click);
    connect(command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(command3, &QPushButton::clicked, this, &Form1::Command3_Click);

    // Keyboard focus order.
    QList<QWidget*> order = {m_combo1, m_combo2, m_combo3, m_text1};
    for (TextBoxControl* box : m_search)
        order << box;
    order << command1 << command2 << command3 << m_check1 << findChild<ButtonControl*>(QStringLiteral("Command4"))
          << m_altChords;
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

namespace {

// The handlers of each string's note label and arrows, strings 1 to 6: the
// widgets call these, and only these.
using NoteLabelHandler = void (Form1::*)(int, int, double, double);
using ArrowHandler = void (Form1::*)();
constexpr std::array<NoteLabelHandler, 6> kNoteLabelHandlers = {
    &Form1::Label2_MouseDown, &Form1::Label3_MouseDown, &Form1::Label4_MouseDown,
    &Form1::Label5_MouseDown, &Form1::Label6_MouseDown, &Form1::Label7_MouseDown};
constexpr std::array<ArrowHandler, 6> kLessHandlers = {&Form1::Label15_Click, &Form1::Label17_Click,
                                                       &Form1::Label19_Click, &Form1::Label21_Click,
                                                       &Form1::Label23_Click, &Form1::Label25_Click};
constexpr std::array<ArrowHandler, 6> kMoreHandlers = {&Form1::Label16_Click, &Form1::Label18_Click,
                                                       &Form1::Label20_Click, &Form1::Label22_Click,
                                                       &Form1::Label24_Click, &Form1::Label26_Click};

} // namespace

void Form1::buildPictureArea(QWidget* client)
{
    // A missing or unreadable picture leaves the area blank; it still clicks.
    // The drawing at twice the size serves dense screens.
    m_image1 = new PictureControl(client, QStringLiteral("Image1"), kImageLeft, kImageTop, [](bool dense) {
        const std::string path = FindDataFile(dense ? kDensePicture : kPlainPicture);
        return path.empty() ? QPixmap() : pixmapAt(path);
    });
    connect(m_image1, &PictureControl::mouseDown, this, &Form1::Image1_MouseDown);
    connect(m_image1, &PictureControl::mouseMove, this, &Form1::Image1_MouseMove);
    connect(m_image1, &PictureControl::mouseLeft, this, &Form1::Image1_MouseLeave);
    // The knob is also a button for screen readers, and F9 presses it.
    m_image1->addHotSpot(QStringLiteral("Volume knob"),
                         QRectF(QPointF(kKnobLeft, kKnobTop), QPointF(kKnobRight, kKnobBottom)));
    connect(new QShortcut(QKeySequence(Qt::Key_F9), this), &QShortcut::activated, this,
            [this] { m_image1->pressHotSpot(0); });

    // The marks over the picture repaint as they change. The window's frame
    // crosses the band above the picture too, where it is painted by thin
    // canvases along it that touch no text box, so a blinking cursor repaints
    // its box alone. They do not overlap: an edge painted twice would darken.
    m_overlay = new OverlayCanvas(client, m_image1->geometry());
    m_overlay->setBackdrop(m_image1);
    const int width = m_image1->width(), top = m_image1->y();
    QList<OverlayCanvas*> band;
    for (const QRect& strip : {QRect(0, 0, width, 9), QRect(0, 9, 9, top - 14), QRect(width - 12, 9, 12, top - 14),
                               QRect(0, top - 5, width, 5)})
        band << new OverlayCanvas(client, strip);

    // Ellipses first, so lines and dots lie over them; the labels above all.
    for (int s = 1; s <= 6; ++s) {
        const StringControls& c = stringControls(s);
        auto* ellipse = new ShapeControl(this, QString::fromLatin1(c.ellipse.data(), c.ellipse.size()), c.ellipseLeft,
                                         c.ellipseTop, kEllipseWidth, kEllipseHeight, kPeach, QColor(192, 255, 255));
        ellipse->bindVisible(&m_board.string(s).ellipseVisible);
        m_overlay->addShape(ellipse);
    }
    for (int s = 1; s <= 6; ++s) {
        const StringControls& c = stringControls(s);
        auto* line = new LineControl(this, QString::fromLatin1(c.line.data(), c.line.size()), c.lineX1, c.lineY1,
                                     c.lineX2, c.lineY2, kOrange, 1, false);
        line->bindX2(&m_board.string(s).lineX2);
        line->bindVisible(&m_board.string(s).lineVisible);
        m_overlay->addLine(line);
    }
    for (int s = 1; s <= 6; ++s) {
        const StringControls& c = stringControls(s);
        auto* dot = new ShapeControl(this, QString::fromLatin1(c.dot.data(), c.dot.size()), c.dotLeft, c.dotTop,
                                     kDotSize, kDotSize, Qt::white, Qt::white);
        dot->bindLeft(&m_board.string(s).dotLeft);
        dot->bindVisible(&m_board.string(s).dotVisible);
        m_overlay->addShape(dot);
    }
    m_shape13 = new ShapeControl(this, QStringLiteral("Shape13"), 4440, 4560, 240, 255, kPeach, kPeach);
    m_overlay->addShape(m_shape13);
    m_overlay->addLine(new LineControl(this, QStringLiteral("Line7"), 4800, 7200, 4560, 5760, kOrange, 3, true));
    const struct { const char* name; double x1, y1, x2, y2; } frame[] = {{"Line8", 0, 60, 13800, 60},
        {"Line9", 0, 2280, 13800, 2280}, {"Line10", 13720, 120, 13720, 7880}, {"Line11", 60, 120, 60, 7880},
        {"Line12", -120, 7880, 13680, 7880}};
    band << m_overlay;
    for (const auto& f : frame) {
        auto* line = new LineControl(this, QString::fromLatin1(f.name), f.x1, f.y1, f.x2, f.y2, kFrameColour, 8, true);
        for (OverlayCanvas* canvas : band)
            canvas->addLine(line);
    }

    auto transparentLabel = [&](const char* name, double l, double t, double w, double h, const QString& caption,
                                double points) {
        auto* lab = new LabelControl(client, QString::fromLatin1(name), l, t, w, h, caption);
        lab->setFont(sansFont(points));
        return lab;
    };
    transparentLabel("Label11", 7080, 2760, 5055, 375, QStringLiteral("Click on labels to turn notes on and off"), 13.5);
    QList<double> fretColumns; // 12 at the left down to the nut
    for (int f = 12; f >= 0; --f)
        fretColumns << kFretLeft[f] + kDotSize / 2.0;
    auto* frets = new FretNumberLabel(client, QStringLiteral("Label12"), 7320, 4440, 4335, 255, kFretNumbers,
                                      fretColumns);
    frets->setFont(sansFont(8.25));
    transparentLabel("Label8", 3600, 7320, 3975, 375, QStringLiteral("Strum to hear chord or press >"), 13.5);
    auto* command4 = new ButtonControl(client, QStringLiteral("Command4"), 7560, 7320, 615, 375, QStringLiteral("Hear"));
    connect(command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    transparentLabel("Label9", 8640, 7320, 4335, 375, QStringLiteral("Click on fret board to set position"), 13.5);

    for (int s = 1; s <= 6; ++s) {
        const StringControls& c = stringControls(s);
        auto* note = new LabelControl(client, QString::fromLatin1(c.noteLabel.data(), c.noteLabel.size()),
                                      c.labelLeft, c.labelTop, c.labelWidth, c.labelHeight, QString());
        note->setFont(sansFont(9.75));
        note->bindCaption(&m_board.string(s).caption);
        note->bindVisible(&m_board.string(s).labelVisible);
        m_noteLabels[s - 1] = note;
        m_overlay->addLabel(note);
        connect(note, &LabelControl::mouseDown, this, kNoteLabelHandlers[s - 1]);
    }
    // The arrows lie above the note labels, so a press on an arrow reaches it.
    for (int s = 1; s <= 6; ++s) {
        const StringControls& c = stringControls(s);
        auto arrow = [&](std::string_view name, double l, double t, const QString& caption, const QColor& back,
                         bool* visible, void (Form1::*handler)()) {
            auto* lab = new LabelControl(client, QString::fromLatin1(name.data(), name.size()), l, t, kArrowSize,
                                         kArrowSize, caption);
            lab->setFont(sansFont(9.75));
            lab->setWordWrap(false);
            lab->setFill(back);
            lab->bindVisible(visible);
            connect(lab, &LabelControl::clicked, this, handler);
            m_overlay->addLabel(lab);
            return lab;
        };
        m_lessLabels[s - 1] = arrow(c.less, c.lessLeft, c.lessTop, QStringLiteral("  <"), kWindowColour,
                                    &m_board.string(s).lessVisible, kLessHandlers[s - 1]);
        m_moreLabels[s - 1] = arrow(c.more, c.moreLeft, c.moreTop, QStringLiteral("  >"), kOrange,
                                    &m_board.string(s).moreVisible, kMoreHandlers[s - 1]);
    }
}

// ---------------------------------------------------------------- the display

void Form1::RunIt(bool twice)
{
    for (ComboControl* combo : {m_combo1, m_combo2, m_combo3})
        combo->settleTypedText();
    const ChordChoice choice{m_combo1->currentText().toStdString(), m_combo2->currentText().toStdString(),
                             m_combo3->currentText().toStdString(), m_check1->value(), m_altChords->value()};
    // The listing of a run works on the tables the previous run left, which
    // are still turned to the previous root: a new root, whether chosen,
    // typed or walked by the search, is computed twice, and the second run
    // lists it, so the listing always names the chord the strings show.
    const bool newRoot = choice.root != m_lastRoot;
    m_lastRoot = choice.root;
    chordmoss::RunIt(m_module, choice, m_board);
    if (twice || newRoot)
        chordmoss::RunIt(m_module, choice, m_board);
    scheduleSync();
}

void Form1::scheduleSync()
{
    m_overlay->refresh();
    if (m_syncQueued)
        return;
    m_syncQueued = true;
    QTimer::singleShot(0, this, &Form1::syncDisplay);
}

void Form1::syncDisplay()
{
    m_syncQueued = false;
    for (int i = 0; i < 6; ++i) {
        m_noteLabels[i]->sync();
        m_lessLabels[i]->sync();
        m_moreLabels[i]->sync();
    }
    m_text1->sync();
    m_overlay->refresh();
    // The fingering as text, for screen readers: each note label describes
    // its string, the picture the whole chord.
    for (int s = 1; s <= 6; ++s) {
        const QString spoken = QString::fromStdString(SpokenString(m_module, m_board, s));
        LabelControl* label = m_noteLabels[s - 1];
        if (label->accessibleDescription() != spoken)
            label->setAccessibleDescription(spoken);
        // Set only when it changes: setting a property sends the label an
        // event, and reading it back searches the label's properties by name.
        const bool sounding = m_board.string(s).labelVisible && m_board.string(s).dotVisible;
        if (m_sounding[s - 1] != sounding) {
            m_sounding[s - 1] = sounding;
            label->setProperty("sounding", sounding);
        }
    }
    const QString fingering = QString::fromStdString(SpokenFingering(m_module, m_board));
    if (m_image1->accessibleDescription() != fingering)
        m_image1->setAccessibleDescription(fingering);
}

void Form1::message(const QString& text, const QString& more)
{
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, this);
    box.setInformativeText(more);
    box.setPalette(palette());
    box.exec();
}

// ---------------------------------------------------------------- window events

void Form1::preloadSamples()
{
    // The chord on display first, so an early Hear finds its strings ready,
    // then every sample.
    Module1 m = m_module;
    SetSoundDir(m);
    std::vector<std::string> samples;
    for (int s = 1; s <= 6; ++s) {
        if (const int f = DotFret(m, m_board, s); f >= 0)
            samples.push_back(ResolveSample(SampleFile(m, s, f)));
    }
    for (std::string_view name : SampleNames)
        samples.push_back(ProgramSampleDir() + std::string(name));
    SampleMixer::instance().preload(std::move(samples));
}

void Form1::Form_Load()
{
    // Init turns the tables to the root, as a computation would have.
    m_lastRoot = m_combo1->currentText().toStdString();
    Init(m_module, m_lastRoot);
    RunIt();
}

void Form1::closeEvent(QCloseEvent* e)
{
    // Form_Unload: the volume window goes with the main window, and so does
    // every Hear still waiting: the program ends with its last window.
    unloadVolumeWindow();
    endHears();
    e->accept();
}

// A root chosen from the list is computed twice, also when it is the root
// already shown: the second run lists from the tables the first left at the
// position now chosen (one typed since, say).
void Form1::Combo1_Click() { RunIt(true); }

void Form1::Combo2_Click() { RunIt(); }
void Form1::Combo3_Click() { RunIt(); }
void Form1::AltChords_Click() { RunIt(); }

void Form1::Exit_Click()
{
    // Ends at once: no unload handler, the players silenced, and a Hear that
    // is waiting stops where it is.
    endHears();
    QCoreApplication::exit(0);
}

void Form1::Abt_Click() { message(kAboutText); }
void Form1::HLP_Click() { message(kHelpText, kKeysText); }

// ---------------------------------------------------------------- the picture

void Form1::Image1_MouseDown(int Button, int, double X, double Y)
{
    if (Button == RightButton)
        return;
    if (X > kKnobLeft && X < kKnobRight && Y > kKnobTop && Y < kKnobBottom) {
        unloadVolumeWindow();
        loadVolumeWindow();
        m_form2->show();
        m_form2->activateWindow();
        m_form2->picture()->setFocus();
        return;
    }
    if (X >= kNeckLeft && X <= kNeckRight && Y >= kNeckTop && Y <= kNeckBottom) {
        // The text differs from the list items (no trailing space) and runs no handler.
        m_combo3->writeText(QString::number(FretZoneAt(X)));
        RunIt();
    }
}

void Form1::Image1_MouseLeave()
{
    // A pointer coming back enters at one point: nothing lies crossed between.
    m_lastStrumPointValid = false;
}

void Form1::Image1_MouseMove(int, int, double X, double Y)
{
    SetSoundDir(m_module);
    // Move events arrive several pixels apart, further than a 50-twip strip is
    // high, so the strips crossed on the way from the last event are played
    // too, in the order crossed.
    std::array<int, 6> strings{};
    int count;
    if (m_lastStrumPointValid) {
        count = StrumPath(m_lastStrumPoint.x(), m_lastStrumPoint.y(), X, Y, strings);
    } else {
        strings[0] = StrumStringAt(X, Y);
        count = strings[0] ? 1 : 0;
    }
    m_lastStrumPoint = QPointF(X, Y);
    m_lastStrumPointValid = true;
    for (int i = 0; i < count; ++i) {
        const int s = strings[i];
        if (!m_board.string(s).dotVisible)
            continue;
        const int state = m_players[s]->playState();
        if (state == StringPlayer::Undefined || state == StringPlayer::Stopped)
            PlayString(m_module, m_board, m_players, s);
    }
}

// ---------------------------------------------------------------- hand edits

void Form1::noteLabelMouseDown(int s, int button, double x)
{
    PressNoteLabel(m_module, m_board, s, button, x);
    scheduleSync();
}

void Form1::arrowClick(int s, bool towardBody)
{
    MoveStringButton(m_module, m_board, s, towardBody);
    scheduleSync();
}

// ---------------------------------------------------------------- chord search

void Form1::Search1_Change(int Index)
{
    TextBoxControl* box = m_search[Index];
    if (!box->text().isEmpty() && !StartsWithNoteLetter(box->text().toStdString())) {
        message(QStringLiteral("Please enter a letter between A and G"));
        box->setText(QString());
    }
    if (box->text().contains(QLatin1Char('#'))) {
        box->setText(QString());
        message(QStringLiteral("Please only enter flats"));
    }
}

void Form1::Search1_LostFocus(int Index)
{
    TextBoxControl* box = m_search[Index];
    const QString normal = QString::fromStdString(NormaliseEntry(box->text().toStdString()));
    if (box->text() != normal)
        box->setText(normal);
}

namespace {

/// The window as the search walk drives it: selecting a candidate sets the
/// combo's list index, which runs the selection handler and a full RunIt.
class WindowSearchHost : public SearchHost {
public:
    WindowSearchHost(ComboControl* roots, ComboControl* types, const FretboardState& board)
        : m_roots(roots), m_types(types), m_board(board)
    {
    }
    void selectRoot(int r) override { m_roots->setListIndex(r); }
    void selectType(int t) override { m_types->setListIndex(t); }
    std::string_view notesText() const override { return m_board.text1; }

private:
    ComboControl *m_roots, *m_types;
    const FretboardState& m_board;
};

} // namespace

bool Form1::walkSearch(bool fromStart)
{
    if (fromStart)
        m_module.SearchCursor = {0, 0, 0, 0};
    SearchBoxes boxes;
    for (int i = 0; i < 5; ++i)
        boxes[i] = m_search[i]->text().toStdString();
    WindowSearchHost host(m_combo1, m_combo2, m_board);
    return SearchWalk(m_module.SearchCursor, boxes, host);
}

void Form1::searchButton(bool fromStart)
{
    // Every box as leaving it leaves it: a box filled without the focus
    // (pasted, or set by a screen reader) is read in its written form too.
    for (int i = 0; i < 5; ++i)
        Search1_LostFocus(i);
    // Only the first box decides whether notes were entered.
    if (m_search[0]->text().isEmpty()) {
        message(QStringLiteral("Please enter the notes in the chord"));
        return;
    }
    if (!walkSearch(fromStart))
        message(QStringLiteral("Not Found"));
}

void Form1::Command1_Click() { searchButton(true); }
void Form1::Command2_Click() { searchButton(false); }

void Form1::Command3_Click()
{
    for (TextBoxControl* box : m_search)
        box->setText(QString());
    m_search[0]->setFocus();
}

// ---------------------------------------------------------------- sound

void Form1::WaitWithEvents(double seconds)
{
    // A nested event loop: strumming, the timer, chord changes and a second
    // Hear all run during the wait. It lasts at least `seconds` and runs the
    // pending events at least once, however short the wait.
    QElapsedTimer clock;
    clock.start();
    const qint64 until = qint64(seconds * m_waitScale * 1000.0);
    QEventLoop loop;
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
    do {
        wake.start(int(std::max<qint64>(until - clock.elapsed(), 0)));
        loop.exec();
        // Only the application's quitting ends the loop before the timer
        // does; every later loop would then return at once, so stop here.
        if (wake.isActive())
            endHears();
    } while (!m_exiting && clock.elapsed() < until);
}

void Form1::endHears()
{
    m_exiting = true;
    for (int s = 1; s <= 6; ++s) {
        if (m_players[s])
            m_players[s]->stop();
    }
}

void Form1::Command4_Click()
{
    // Each click runs a whole Hear inside the waits of the one before; a held
    // key or a stuck button queues thousands of clicks, so past a few levels
    // a click does nothing rather than run the stack out.
    if (m_exiting || m_hearDepth >= kHearNesting)
        return;
    ++m_hearDepth;
    SetSoundDir(m_module);
    m_shape13->setVisible(true);
    m_shape13->setTop(4560);
    for (int s = 1; s <= 6 && !m_exiting; ++s) {
        if (m_board.string(s).dotVisible) {
            PlayString(m_module, m_board, m_players, s);
            WaitWithEvents(0.05);
        }
        m_shape13->setTop(m_shape13->top() + 150);
    }
    if (!m_exiting)
        WaitWithEvents(1.0);
    m_shape13->setVisible(false);
    --m_hearDepth;
}

// ---------------------------------------------------------------- volume window

void Form1::loadVolumeWindow()
{
    if (m_form2 && !m_form2->isUnloaded())
        return;
    m_form2 = new Form2(m_module, m_players, this);
}

void Form1::unloadVolumeWindow()
{
    if (m_form2)
        m_form2->unload();
    m_form2 = nullptr;
}

Form2* Form1::volumeWindow() const
{
    return m_form2 && !m_form2->isUnloaded() ? m_form2.data() : nullptr;
}

void Form1::Timer1_Timer()
{
    if (!volumeWindow())
        loadVolumeWindow();
    if (m_form2->isVisible())
        m_form2->placeBesideOwner();
}

} // namespace chordmoss

#pragma once
// The main window.
//
// How it fits together: every user action enters one of the handlers below
// (named control_event, as the controls are named). A handler calls one
// operation of the core: RunIt() gathers the three combo texts (a typed text
// that names a list item taken as that item) and the two check boxes into a
// ChordChoice and runs the voicing engine (twice for a new root, and for a
// root chosen from its list), which rewrites m_board, the FretboardState that
// is the state of record of the fingering on display; the hand edits
// (MoveStringButton, PressNoteLabel) write m_board too. The controls that show
// the voicing are bound to m_board's fields, so their properties read the
// record directly; the widgets themselves are brought up to date by
// syncDisplay(), queued once per pass of the event loop (a search walk of
// hundreds of chords repaints once), and so are the strings' descriptions for
// screen readers. Sound, the chord search and the volume window read m_board
// back through DotFret.

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include <QPointF>

#include "fretboardstate.h"
#include "module1.h"
#include "playstring.h"
#include "stringplayer.h"

class QTimer;

namespace chordmoss {

class ButtonControl;
class CheckControl;
class ComboControl;
class Form2;
class LabelControl;
class OverlayCanvas;
class PictureControl;
class ShapeControl;
class TextBoxControl;

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    /// Builds the window and runs its load handler. The players come from
    /// `makePlayer`, by default the program's own on the sound device.
    explicit Form1(QWidget* parent = nullptr, PlayerFactory makePlayer = {});
    ~Form1() override;

    Module1& module() { return m_module; }
    FretboardState& board() { return m_board; }
    /// The players of strings 1..6.
    const PlayerSet& players() const { return m_players; }
    /// The volume window while it is loaded, else nullptr.
    Form2* volumeWindow() const;

    /// Computes and shows the voicing of the current choices: twice for a
    /// root not computed last time, or when `twice` asks for it.
    void RunIt(bool twice = false);
    /// Brings every bound widget in line with the state of record now.
    void syncDisplay();
    /// Scales the waits of Hear (1 = real time); the fuzzer hurries them.
    void setWaitScale(double scale) { m_waitScale = scale; }

    /// How many Hears may run inside one another's waits; a click on "Hear"
    /// beyond this depth does nothing.
    static constexpr int kHearNesting = 8;
    /// The number of Hears running now, the innermost included.
    int hearDepth() const { return m_hearDepth; }

public slots:
    void Form_Load();
    void Combo1_Click();
    void Combo2_Click();
    void Combo3_Click();
    void AltChords_Click();
    void Exit_Click();
    void Abt_Click();
    void HLP_Click();
    void Image1_MouseDown(int Button, int Shift, double X, double Y);
    void Image1_MouseMove(int Button, int Shift, double X, double Y);
    void Image1_MouseLeave();
    void Label2_MouseDown(int Button, int /*Shift*/, double X, double /*Y*/) { noteLabelMouseDown(1, Button, X); }
    void Label3_MouseDown(int Button, int /*Shift*/, double X, double /*Y*/) { noteLabelMouseDown(2, Button, X); }
    void Label4_MouseDown(int Button, int /*Shift*/, double X, double /*Y*/) { noteLabelMouseDown(3, Button, X); }
    void Label5_MouseDown(int Button, int /*Shift*/, double X, double /*Y*/) { noteLabelMouseDown(4, Button, X); }
    void Label6_MouseDown(int Button, int /*Shift*/, double X, double /*Y*/) { noteLabelMouseDown(5, Button, X); }
    void Label7_MouseDown(int Button, int /*Shift*/, double X, double /*Y*/) { noteLabelMouseDown(6, Button, X); }
    void Label15_Click() { arrowClick(1, true); }
    void Label16_Click() { arrowClick(1, false); }
    void Label17_Click() { arrowClick(2, true); }
    void Label18_Click() { arrowClick(2, false); }
    void Label19_Click() { arrowClick(3, true); }
    void Label20_Click() { arrowClick(3, false); }
    void Label21_Click() { arrowClick(4, true); }
    void Label22_Click() { arrowClick(4, false); }
    void Label23_Click() { arrowClick(5, true); }
    void Label24_Click() { arrowClick(5, false); }
    void Label25_Click() { arrowClick(6, true); }
    void Label26_Click() { arrowClick(6, false); }
    void Search1_Change(int Index);
    void Search1_LostFocus(int Index);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Timer1_Timer();

    /// The walk of the chord search, from the start or from the cursor; true
    /// when a chord was found (it is then on display).
    bool walkSearch(bool fromStart);

    /// Loads the volume window (hidden) unless it is loaded already.
    void loadVolumeWindow();
    /// Unloads the volume window if it is loaded.
    void unloadVolumeWindow();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildUpperBand(QWidget* client);
    void buildPictureArea(QWidget* client);
    void buildMenus();
    void noteLabelMouseDown(int s, int button, double x);
    void arrowClick(int s, bool towardBody);
    void scheduleSync();
    void message(const QString& text, const QString& more = {});
    /// Waits at least `seconds`, running other events meanwhile; returns at
    /// once when the program is ending.
    void WaitWithEvents(double seconds);
    /// Hands the samples to the mixer's decoding, the shown chord's first.
    void preloadSamples();
    /// The program is ending: every Hear stops where it is and the players
    /// fall silent.
    void endHears();
    /// "Search" and "Next": the entry test, the walk, "Not Found".
    void searchButton(bool fromStart);

    Module1 m_module;
    FretboardState m_board;
    /// The root text of the last computation; a new one is computed twice.
    std::string m_lastRoot;
    bool m_syncQueued = false;
    bool m_exiting = false;
    int m_hearDepth = 0;
    double m_waitScale = 1.0;

    ComboControl *m_combo1 = nullptr, *m_combo2 = nullptr, *m_combo3 = nullptr;
    TextBoxControl* m_text1 = nullptr;
    std::array<TextBoxControl*, 5> m_search{};
    CheckControl *m_check1 = nullptr, *m_altChords = nullptr;
    PictureControl* m_image1 = nullptr;
    OverlayCanvas* m_overlay = nullptr;
    ShapeControl* m_shape13 = nullptr;
    std::array<LabelControl*, 6> m_noteLabels{}, m_lessLabels{}, m_moreLabels{};
    /// Whether each note label was last said to sound (none said yet).
    std::array<std::optional<bool>, 6> m_sounding{};
    QTimer* m_timer1 = nullptr;
    std::array<std::unique_ptr<StringPlayer>, 7> m_ownedPlayers;
    PlayerSet m_players{};
    QPointF m_lastStrumPoint;
    bool m_lastStrumPointValid = false;
    QPointer<Form2> m_form2;
};

} // namespace chordmoss

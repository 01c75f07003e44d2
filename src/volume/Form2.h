#pragma once
// The volume window: a black wedge with an orange bar that sets the volume of
// the six string players. Loaded hidden by the main window's timer, opened by
// a press on the pictured volume knob, kept beside the main window.

#include <QWidget>

#include "playstring.h"

namespace chordmoss {

struct Module1;
class ButtonControl;
class LabelControl;
class VolumeSlider;

class Form2 : public QWidget {
    Q_OBJECT
public:
    /// Creates the window hidden and runs its load handler. `owner` is the
    /// main window it stays beside.
    Form2(Module1& m, const PlayerSet& players, QWidget* owner);

    /// True once the window has been unloaded; it is then deleted soon.
    bool isUnloaded() const { return m_unloaded; }
    /// Hides the window and discards it.
    void unload();
    /// Puts the window at its place beside the owner.
    void placeBesideOwner();

    /// Returns the smallest bar position whose shown value is `volume` (the
    /// nearest valid position when none shows it).
    double barPositionFor(double volume) const;

    VolumeSlider* picture() const { return m_picture1; }

public slots:
    void Form_Load();
    void DrawVolTri();
    void Picture1_MouseMove(int Button, int Shift, double X, double Y);
    void Picture1_MouseDown(int Button, int Shift, double X, double Y);
    void Label1_Change();
    void Command1_Click();
    /// The keys on the slider move the bar as a drag would: arrows by one,
    /// Page Up and Page Down by ten, Home and End to either end.
    void Picture1_KeyDown(int KeyCode, int Shift);
    /// Moves the bar to the first position that shows `value`, as a drag.
    void moveBarTo(int value);

protected:
    /// Closing from the title bar is the same as "Close".
    void closeEvent(QCloseEvent* e) override;
    /// Escape is the same as "Close".
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    Module1& m_module;
    PlayerSet m_players;
    QWidget* m_owner;
    VolumeSlider* m_picture1;
    LabelControl* m_label1;
    ButtonControl* m_command1;
    bool m_unloaded = false;
};

} // namespace chordmoss

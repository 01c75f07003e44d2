#include "Form2.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

#include "controls.h"
#include "module1.h"
#include "stringplayer.h"
#include "volumeslider.h"

namespace chordmoss {

namespace {

const QColor kWindowColour(255, 224, 192);
const QColor kBarColour(255, 128, 0);
constexpr double kBarWidth = 15;

/// The number a bar at X shows: X scaled so that X = W - 20 gives 100.
int shownValue(double x, int w) { return static_cast<int>(std::floor(x / ((w - 20) / 100.0))); }

} // namespace

Form2::Form2(Module1& m, const PlayerSet& players, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint), m_module(m), m_players(players), m_owner(owner)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("             Volume Control Slider"));
    setFixedSize(int(3240 / kTwips), int(1170 / kTwips));
    // The window colour is painted (paintEvent), not put into the window's
    // palette: the style caches button faces under the palette's identity,
    // and a palette made afresh at every load would leave a few KB in that
    // cache, and its key for good, at every open and close. The number and the
    // slider keep fixed colours of their own, so no theme reaches them.
    setFont(windowFont(8.25));

    m_picture1 = new VolumeSlider(this);
    placeTwips(m_picture1, 120, 360, 2295, 375);
    m_label1 = new LabelControl(this, QStringLiteral("Label1"), 2520, 480, 495, 255, QStringLiteral("Label1"));
    m_label1->setAutoFillBackground(true);
    QPalette pal = fixedPalette();
    pal.setColor(QPalette::Window, kWindowColour);
    m_label1->setPalette(pal);
    m_picture1->setPalette(pal);
    m_command1 = new ButtonControl(this, QStringLiteral("Command1"), 960, 900, 735, 255, QStringLiteral("Close"));
    setTabOrder(m_picture1, m_command1);
    describeControl(m_picture1, QStringLiteral("Volume slider")); // its own slider interface
    describeControl(m_label1, QStringLiteral("Volume"), QAccessible::StaticText);

    connect(m_picture1, &VolumeSlider::mouseMove, this, &Form2::Picture1_MouseMove);
    connect(m_picture1, &VolumeSlider::mouseDown, this, &Form2::Picture1_MouseDown);
    connect(m_picture1, &VolumeSlider::keyDown, this, &Form2::Picture1_KeyDown);
    connect(m_picture1, &VolumeSlider::valueWanted, this, &Form2::moveBarTo);
    connect(m_command1, &QPushButton::clicked, this, &Form2::Command1_Click);

    Form_Load();
}

void Form2::Form_Load()
{
    raise();
    placeTwips(m_picture1, 120, 360, 2000, 500);
    placeBesideOwner();
    if (m_module.Volume == 0)
        m_module.Volume = 60;
    // The stored volume is a value, not a bar position: the bar is drawn where
    // it shows that value, so closing and reopening the window keeps the
    // volume (taken as a position, it would sink a few steps at every load).
    Picture1_MouseMove(LeftButton, 0, barPositionFor(m_module.Volume), 10);
}

void Form2::placeBesideOwner()
{
    if (!m_owner)
        return;
    const QPoint corner = m_owner->frameGeometry().topLeft();
    move(corner.x() + int(std::lround(8500 / kTwips)), corner.y() + int(std::lround(1200 / kTwips)));
}

double Form2::barPositionFor(double volume) const
{
    const int w = m_picture1->scaleWidth();
    int last = -1;
    for (int x = 0; x < w - kBarWidth; ++x) {
        if (shownValue(x, w) == volume)
            return x;
        if (shownValue(x, w) < volume)
            last = x;
    }
    return last < 0 ? 0 : last;
}

void Form2::DrawVolTri()
{
    const int w = m_picture1->scaleWidth(), h = m_picture1->scaleHeight();
    QPainter p(&m_picture1->surface());
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygon({QPoint(0, h - 5), QPoint(w, 5), QPoint(w, h - 5)}));
}

void Form2::Picture1_MouseMove(int Button, int, double X, double)
{
    const int w = m_picture1->scaleWidth();
    if (Button != LeftButton || !(X >= 0 && X < w - kBarWidth))
        return;
    m_picture1->clearSurface();
    DrawVolTri();
    {
        QPainter p(&m_picture1->surface());
        p.fillRect(QRectF(X, 0, kBarWidth, m_picture1->scaleHeight()), kBarColour);
    }
    m_picture1->update();
    const QString value = QString::number(shownValue(X, w));
    m_picture1->setShownValue(shownValue(X, w), shownValue(w - kBarWidth - 1, w));
    if (m_label1->caption() != value) {
        m_label1->setCaption(value);
        Label1_Change();
    }
    if (isVisible())
        m_module.Volume = m_label1->caption().toFloat();
}

void Form2::Picture1_MouseDown(int, int, double, double) {}

void Form2::Picture1_KeyDown(int KeyCode, int)
{
    const int now = m_picture1->shownValue(), last = m_picture1->maximumValue();
    int wanted = now;
    switch (KeyCode) {
    case Qt::Key_Left: case Qt::Key_Down: wanted = now - 1; break;
    case Qt::Key_Right: case Qt::Key_Up: wanted = now + 1; break;
    case Qt::Key_PageDown: wanted = now - 10; break;
    case Qt::Key_PageUp: wanted = now + 10; break;
    case Qt::Key_Home: wanted = 0; break;
    case Qt::Key_End: wanted = last; break;
    }
    moveBarTo(std::clamp(wanted, 0, last));
}

void Form2::moveBarTo(int value) { Picture1_MouseMove(LeftButton, 0, barPositionFor(value), 10); }

void Form2::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape)
        Command1_Click();
    else
        QWidget::keyPressEvent(e);
}

void Form2::Label1_Change()
{
    const int volume = int(std::lround(m_label1->caption().toDouble()));
    for (int s = 1; s <= 6; ++s) {
        if (m_players[s])
            m_players[s]->setVolume(volume);
    }
    if (isVisible())
        m_module.Volume = float(volume);
}

void Form2::Command1_Click() { unload(); }

void Form2::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), kWindowColour); }

void Form2::closeEvent(QCloseEvent* e)
{
    QWidget::closeEvent(e);
    unload();
}

void Form2::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (isVisible() && m_owner) // the keys go back where they came from
        m_owner->activateWindow();
    hide();
    deleteLater();
}

} // namespace chordmoss

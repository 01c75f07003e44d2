#include "volumeslider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFrame>

#include "controls.h"

namespace chordmoss {

VolumeSlider::VolumeSlider(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setFocusPolicy(Qt::StrongFocus);
}

QImage& VolumeSlider::surface()
{
    // Drawn in pixels of the window, held in device pixels, so the wedge's
    // edge stays sharp on a dense screen.
    const qreal ratio = devicePixelRatioF();
    const QSize inner = QSize(scaleWidth(), scaleHeight()) * ratio;
    if (m_surface.size() != inner) {
        QImage fresh(inner, QImage::Format_RGB32);
        fresh.setDevicePixelRatio(ratio);
        fresh.fill(palette().color(QPalette::Button));
        QPainter p(&fresh);
        p.drawImage(0, 0, m_surface);
        m_surface = fresh;
    }
    return m_surface;
}

void VolumeSlider::clearSurface() { surface().fill(palette().color(QPalette::Button)); }

void VolumeSlider::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(kFrame, kFrame, surface());
    // Sunken frame: dark above and left, light below and right.
    const int w = width(), h = height();
    p.setPen(QColor(128, 128, 128));
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.setPen(QColor(64, 64, 64));
    p.drawLine(1, 1, w - 2, 1);
    p.drawLine(1, 1, 1, h - 2);
    p.setPen(QColor(255, 255, 255));
    p.drawLine(0, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 0, w - 1, h - 1);
    p.setPen(QColor(212, 208, 200));
    p.drawLine(1, h - 2, w - 2, h - 2);
    p.drawLine(w - 2, 1, w - 2, h - 2);
}

void VolumeSlider::mouseMoveEvent(QMouseEvent* e)
{
    const QPointF pos = e->position() - QPointF(kFrame, kFrame);
    emit mouseMove(buttonsCode(e->buttons()), shiftCode(e->modifiers()), pos.x(), pos.y());
}

void VolumeSlider::mousePressEvent(QMouseEvent* e)
{
    const QPointF pos = e->position() - QPointF(kFrame, kFrame);
    emit mouseDown(buttonCode(e->button()), shiftCode(e->modifiers()), pos.x(), pos.y());
}

} // namespace chordmoss

#include "volumeslider.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFrame>

#include "controls.h"

namespace chordmoss {

namespace {

/// The slider as a screen reader sees it: a value from 0 to the highest the
/// bar can show, set as the keys set it.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(VolumeSlider* w) : QAccessibleWidget(w, QAccessible::Slider) {}
    VolumeSlider* slider() const { return static_cast<VolumeSlider*>(widget()); }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                                : QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? QString::number(slider()->shownValue()) : QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return slider()->shownValue(); }
    void setCurrentValue(const QVariant& value) override { emit slider()->valueWanted(value.toInt()); }
    QVariant maximumValue() const override { return slider()->maximumValue(); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }
};

QAccessibleInterface* sliderAccessibleFactory(const QString&, QObject* o)
{
    auto* slider = qobject_cast<VolumeSlider*>(o);
    return slider ? new SliderAccessible(slider) : nullptr;
}

} // namespace

VolumeSlider::VolumeSlider(QWidget* parent) : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(sliderAccessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("Picture1"));
    setFocusPolicy(Qt::StrongFocus);
}

void VolumeSlider::setShownValue(int value, int maximum)
{
    m_maximum = maximum;
    if (m_value == value)
        return;
    m_value = value;
    QAccessibleValueChangeEvent event(this, value);
    QAccessible::updateAccessibility(&event);
}

void VolumeSlider::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
    case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Home: case Qt::Key_End:
        emit keyDown(e->key(), shiftCode(e->modifiers()));
        break;
    default:
        QWidget::keyPressEvent(e); // Escape and the rest go to the window
    }
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
    if (hasFocus()) { // where the keys go, for those who use no mouse
        p.setPen(QPen(QColor(255, 128, 0), 1, Qt::DotLine));
        p.drawRect(kFrame, kFrame, w - 2 * kFrame - 1, h - 2 * kFrame - 1);
    }
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

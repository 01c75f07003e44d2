#include "controls.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace chordmoss {

int buttonCode(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return LeftButton;
    case Qt::RightButton: return RightButton;
    case Qt::MiddleButton: return MiddleButton;
    default: return 0;
    }
}

int buttonsCode(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? LeftButton : 0) | (b & Qt::RightButton ? RightButton : 0)
        | (b & Qt::MiddleButton ? MiddleButton : 0);
}

int shiftCode(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

void placeTwips(QWidget* w, double left, double top, double width, double height)
{
    w->setGeometry(int(std::lround(left / kTwips)), int(std::lround(top / kTwips)),
                   int(std::lround(width / kTwips)), int(std::lround(height / kTwips)));
}

// ---------------------------------------------------------------- shapes

ShapeControl::ShapeControl(QObject* parent, const QString& name, double left, double top, double width,
                           double height, QColor fill, QColor border)
    : QObject(parent), m_left(static_cast<float>(left)), m_top(top), m_width(width), m_height(height),
      m_fill(fill), m_border(border)
{
    setObjectName(name);
}

void ShapeControl::setLeft(double v)
{
    if (m_left.set(static_cast<float>(v)))
        emit changed();
}

void ShapeControl::setTop(double v)
{
    if (m_top != v) {
        m_top = v;
        emit changed();
    }
}

void ShapeControl::setVisible(bool v)
{
    if (m_visible.set(v))
        emit changed();
}

LineControl::LineControl(QObject* parent, const QString& name, double x1, double y1, double x2, double y2,
                         QColor color, int widthPx, bool visible)
    : QObject(parent), m_x1(x1), m_y1(y1), m_x2(static_cast<float>(x2)), m_y2(y2), m_visible(visible),
      m_color(color), m_widthPx(widthPx)
{
    setObjectName(name);
}

void LineControl::setX2(double v)
{
    if (m_x2.set(static_cast<float>(v)))
        emit changed();
}

void LineControl::setVisible(bool v)
{
    if (m_visible.set(v))
        emit changed();
}

// ---------------------------------------------------------------- labels

LabelControl::LabelControl(QWidget* parent, const QString& name, double left, double top, double width,
                           double height, const QString& caption)
    : QLabel(parent), m_caption(caption.toStdString()), m_left(left), m_top(top), m_width(width), m_height(height)
{
    setObjectName(name);
    placeTwips(this, left, top, width, height);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    sync();
}

void LabelControl::setCaption(const QString& c)
{
    if (m_caption.set(c.toStdString()))
        sync();
}

void LabelControl::setShownFlag(bool v)
{
    if (m_shown.set(v))
        sync();
}

void LabelControl::sync()
{
    const QString c = caption();
    if (text() != c)
        setText(c);
    if (isHidden() == m_shown.get())
        QLabel::setVisible(m_shown.get());
}

void LabelControl::mousePressEvent(QMouseEvent* e)
{
    const QPointF p = e->position();
    emit mouseDown(buttonCode(e->button()), shiftCode(e->modifiers()), p.x() * kTwips, p.y() * kTwips);
}

void LabelControl::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
}

// ---------------------------------------------------------------- text boxes

TextBoxControl::TextBoxControl(QWidget* parent, const QString& name, double left, double top, double width,
                               double height)
    : QLineEdit(parent)
{
    setObjectName(name);
    placeTwips(this, left, top, width, height);
}

void TextBoxControl::bindText(std::string* f)
{
    m_bound = f;
    connect(this, &QLineEdit::textEdited, this, [this](const QString& t) { *m_bound = t.toStdString(); });
}

QString TextBoxControl::textValue() const
{
    return m_bound ? QString::fromStdString(*m_bound) : text();
}

void TextBoxControl::setTextValue(const QString& t)
{
    if (m_bound)
        *m_bound = t.toStdString();
    if (text() != t)
        setText(t);
}

void TextBoxControl::sync()
{
    if (m_bound) {
        const QString t = QString::fromStdString(*m_bound);
        if (text() != t)
            setText(t);
    }
}

void TextBoxControl::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // A menu or another window taking the focus is no move to another control.
    if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason)
        emit lostFocus();
}

// ---------------------------------------------------------------- combos, checks, buttons

ComboControl::ComboControl(QWidget* parent, const QString& name, double left, double top, double width,
                           double height, const QStringList& items, const QString& text)
    : QComboBox(parent)
{
    setObjectName(name);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr); // typed text stays exactly as typed
    setMaxVisibleItems(16);
    addItems(items);
    setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    setEditText(text);
    placeTwips(this, left, top, width, height);
    // Only a choice from the list (mouse or arrow keys) counts as a selection.
    // Leaving the edit field or pressing Return must not select the item that
    // matches the typed text, nor rewrite that text: typing recomputes nothing.
    disconnect(lineEdit(), SIGNAL(editingFinished()), this, nullptr);
    disconnect(lineEdit(), SIGNAL(returnPressed()), this, nullptr);
    connect(this, &QComboBox::activated, this, &ComboControl::listClicked);
}

int ComboControl::listIndex() const
{
    const int i = currentIndex();
    return i >= 0 && itemText(i) == currentText() ? i : -1;
}

void ComboControl::setListIndex(int index)
{
    if (index < -1 || index >= count())
        return;
    {
        const QSignalBlocker quiet(this);
        setCurrentIndex(index);
        if (index >= 0)
            setEditText(itemText(index));
    }
    // The selection handler runs even when the index does not change.
    if (index >= 0)
        emit listClicked();
}

CheckControl::CheckControl(QWidget* parent, const QString& name, double left, double top, double width,
                           double height, const QString& caption)
    : QCheckBox(caption, parent)
{
    setObjectName(name);
    placeTwips(this, left, top, width, height);
}

void CheckControl::setValue(int v)
{
    setCheckState(v == 1 ? Qt::Checked : v == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

ButtonControl::ButtonControl(QWidget* parent, const QString& name, double left, double top, double width,
                             double height, const QString& caption)
    : QPushButton(caption, parent)
{
    setObjectName(name);
    placeTwips(this, left, top, width, height);
    setAutoDefault(false);
}

// ---------------------------------------------------------------- picture and overlay

PictureControl::PictureControl(QWidget* parent, const QString& name, double left, double top,
                               const QPixmap& picture)
    : QWidget(parent), m_picture(picture), m_left(left), m_top(top)
{
    setObjectName(name);
    setMouseTracking(true);
    // Shown at its natural size, 15 twips to the pixel.
    setGeometry(int(left / kTwips), int(top / kTwips), 921, 377);
}

void PictureControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!m_picture.isNull())
        p.drawPixmap(0, 0, m_picture);
}

void PictureControl::mousePressEvent(QMouseEvent* e)
{
    const QPointF pos = e->position();
    emit mouseDown(buttonCode(e->button()), shiftCode(e->modifiers()), pos.x() * kTwips, pos.y() * kTwips);
}

void PictureControl::mouseMoveEvent(QMouseEvent* e)
{
    const QPointF pos = e->position();
    emit mouseMove(buttonsCode(e->buttons()), shiftCode(e->modifiers()), pos.x() * kTwips, pos.y() * kTwips);
}

OverlayCanvas::OverlayCanvas(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void OverlayCanvas::addShape(ShapeControl* s)
{
    m_items << s;
    connect(s, &ShapeControl::changed, this, qOverload<>(&QWidget::update));
}

void OverlayCanvas::addLine(LineControl* l)
{
    m_items << l;
    connect(l, &LineControl::changed, this, qOverload<>(&QWidget::update));
}

void OverlayCanvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(1.0 / kTwips, 1.0 / kTwips);
    for (QObject* item : std::as_const(m_items)) {
        if (auto* s = qobject_cast<ShapeControl*>(item)) {
            if (!s->visible())
                continue;
            p.setPen(QPen(s->border(), kTwips));
            p.setBrush(s->fill());
            const double half = kTwips / 2;
            p.drawEllipse(QRectF(s->left() + half, s->top() + half, s->width() - kTwips, s->height() - kTwips));
        } else if (auto* l = qobject_cast<LineControl*>(item)) {
            if (!l->visible())
                continue;
            p.setPen(QPen(l->color(), l->widthPx() * kTwips, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(l->x1(), l->y1()), QPointF(l->x2(), l->y2()));
        }
    }
}

} // namespace chordmoss

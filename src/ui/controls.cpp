#include "controls.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QHash>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <cmath>
#include <cstring>

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

// ---------------------------------------------------------------- colours, fonts, names

QPalette fixedPalette()
{
    // A classic light desktop: black text on light surfaces, the same in every
    // colour group so an inactive window looks like an active one.
    const QColor black(0, 0, 0), white(255, 255, 255), face(240, 240, 240);
    QPalette pal;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool off = group == QPalette::Disabled;
        const QColor text = off ? QColor(109, 109, 109) : black;
        auto set = [&](QPalette::ColorRole role, const QColor& c) { pal.setColor(group, role, c); };
        set(QPalette::WindowText, text);
        set(QPalette::Text, text);
        set(QPalette::ButtonText, text);
        set(QPalette::ToolTipText, black);
        set(QPalette::PlaceholderText, QColor(109, 109, 109));
        set(QPalette::BrightText, white);
        set(QPalette::Window, face);
        set(QPalette::Button, face);
        set(QPalette::Base, white);
        set(QPalette::AlternateBase, QColor(245, 245, 245));
        set(QPalette::ToolTipBase, QColor(255, 255, 220));
        set(QPalette::Light, white);
        set(QPalette::Midlight, QColor(227, 227, 227));
        set(QPalette::Mid, QColor(160, 160, 160));
        set(QPalette::Dark, QColor(105, 105, 105));
        set(QPalette::Shadow, black);
        set(QPalette::Highlight, QColor(0, 84, 166));
        set(QPalette::HighlightedText, white);
        set(QPalette::Link, QColor(0, 0, 238));
        set(QPalette::LinkVisited, QColor(85, 26, 139));
    }
    return pal;
}

QFont windowFont(double points)
{
    // The face comes from the program's resources, loaded at first use.
    static const bool loaded = [] {
        return QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSans-Regular.ttf")) >= 0;
    }();
    Q_UNUSED(loaded);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(int(std::lround(points * 96.0 / 72.0)));
    return f;
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

void LabelControl::setFill(const QColor& colour)
{
    QPalette pal = palette();
    pal.setColor(backgroundRole(), colour);
    setPalette(pal);
    m_fills = true;
    update();
    emit looksChanged();
}

void LabelControl::sync()
{
    const bool shown = m_shown.get();
    // A hidden label's text waits until it shows: a new text repaints.
    if (const QString c = caption(); shown && text() != c) {
        setText(c);
        emit looksChanged();
    }
    if (m_drawn == shown)
        return;
    m_drawn = shown;
    if (!shown)
        m_autoFills = autoFillBackground();
    setAutoFillBackground(shown && m_autoFills);
    setAttribute(Qt::WA_TransparentForMouseEvents, !shown);
    update();
    emit looksChanged();
    QAccessibleEvent event(this, shown ? QAccessible::ObjectShow : QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&event);
}

void LabelControl::press()
{
    if (!m_drawn)
        return;
    emit mouseDown(LeftButton, 0, 0, 0);
    emit clicked();
}

LabelControl::Laid& LabelControl::laidText()
{
    // As QLabel draws plain text at the top left with no frame or margin,
    // the same pixels, but each text laid out once rather than at every
    // paint: the labels over the picture are repainted at every chord where
    // the leader lines move. A string's label shows a handful of captions,
    // and each keeps its layout while the width and wrapping stay (a layout
    // lays itself out again for a new face).
    if (m_layoutWidth != width() || m_layoutWraps != wordWrap() || m_layouts.size() > 16) {
        m_layouts.clear();
        m_layoutWidth = width();
        m_layoutWraps = wordWrap();
    }
    auto laid = m_layouts.find(text());
    if (laid == m_layouts.end()) {
        QStaticText layout(text());
        layout.setTextFormat(Qt::PlainText);
        QTextOption option(Qt::AlignLeft);
        option.setWrapMode(wordWrap() ? QTextOption::WordWrap : QTextOption::ManualWrap);
        layout.setTextOption(option);
        layout.setTextWidth(wordWrap() ? width() : -1);
        layout.prepare(QTransform(), font()); // its size in the face it is drawn in
        laid = m_layouts.insert(text(), {layout});
    }
    return *laid;
}

QRect LabelControl::textReach(const QStaticText& laid) const
{
    // Glyphs stay within the layout's box but for an antialiased edge or a
    // side bearing.
    return QRectF(QPointF(0, 0), laid.size()).adjusted(-2, -2, 2, 2).toAlignedRect();
}

bool LabelControl::inkInside(const QStaticText& laid, double ratio) const
{
    // Drawn once, dark on light, with a margin wider than the glyphs can
    // reach past the layout's box, at the same density on whole device
    // pixels: a glyph is rendered the same wherever it is moved by whole
    // pixels.
    constexpr int margin = 4;
    const QSize pixels = (size() + QSize(2 * margin, 2 * margin)) * ratio;
    QImage ink(pixels, QImage::Format_RGB32);
    ink.setDevicePixelRatio(ratio);
    ink.fill(Qt::white);
    QPainter ip(&ink);
    ip.setFont(font());
    ip.setPen(Qt::black);
    ip.drawStaticText(QPointF(margin, margin), laid);
    ip.end();
    const QRect box(QPoint(margin, margin) * ratio, size() * ratio);
    for (int y = 0; y < ink.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(ink.constScanLine(y));
        for (int x = 0; x < ink.width(); ++x)
            if (row[x] != 0xffffffff && !box.contains(x, y))
                return false;
    }
    return true;
}

void LabelControl::drawLabel(QPainter& p, const QRegion& region, const QPoint& at, bool fill)
{
    if (!m_drawn)
        return;
    const QRect box(at, size());
    if (m_fills && fill)
        p.fillRect(region.boundingRect() & box, palette().brush(backgroundRole()));
    // A repaint that misses the text (a sliver shared with a neighbour, say)
    // leaves the label's pixels as they are.
    Laid& laid = laidText();
    const QRect reach = textReach(laid.text).translated(at);
    if (!region.intersects(reach))
        return;
    // Text reaching past the label's box is cut at its edges, as its own
    // paint cuts it. Drawn at a whole scale on whole device pixels, its
    // glyphs are known to keep within the box or not.
    bool cut = !box.contains(reach);
    const QTransform device = p.deviceTransform();
    const double ratio = device.m11();
    if (cut && device.type() <= QTransform::TxScale && ratio == device.m22() && ratio == std::floor(ratio)
        && ratio >= 1 && device.dx() == std::floor(device.dx()) && device.dy() == std::floor(device.dy())) {
        if (laid.inkRatio != ratio) {
            laid.inkInside = inkInside(laid.text, ratio);
            laid.inkRatio = ratio;
        }
        cut = !laid.inkInside;
    }
    if (cut) {
        p.save();
        p.setClipRect(box, Qt::IntersectClip);
    }
    p.setFont(font());
    p.setPen(QPen(palette().brush(foregroundRole()), 1));
    p.drawStaticText(QPointF(at), laid.text);
    if (cut)
        p.restore();
}

void LabelControl::paintEvent(QPaintEvent* e)
{
    if (!m_drawn || (!m_fills && !e->region().intersects(textReach(laidText().text))))
        return;
    QPainter p(this);
    drawLabel(p, e->region());
}

void LabelControl::changeEvent(QEvent* e)
{
    QLabel::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        m_layouts.clear(); // and what is known of their glyphs
    if (e->type() == QEvent::FontChange || e->type() == QEvent::PaletteChange || e->type() == QEvent::StyleChange
        || e->type() == QEvent::EnabledChange)
        emit looksChanged();
}

void LabelControl::showEvent(QShowEvent* e)
{
    QLabel::showEvent(e);
    emit looksChanged();
}

void LabelControl::resizeEvent(QResizeEvent* e)
{
    QLabel::resizeEvent(e);
    emit looksChanged();
}

void LabelControl::moveEvent(QMoveEvent* e)
{
    QLabel::moveEvent(e);
    emit looksChanged();
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

FretNumberLabel::FretNumberLabel(QWidget* parent, const QString& name, double left, double top, double width,
                                 double height, const QString& caption, QList<double> columns)
    : LabelControl(parent, name, left, top, width, height, caption), m_columns(std::move(columns))
{
}

namespace {

// The width of the halo's pen, and how far past a glyph's outline the halo
// and its antialiased edge can reach.
constexpr double kHaloWidth = 2.4;
constexpr double kHalo = kHaloWidth / 2 + 1;

} // namespace

QList<QRectF> FretNumberLabel::numberRects() const
{
    const QStringList numbers = caption().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QFontMetricsF fm(font());
    QList<QRectF> rects;
    for (qsizetype i = 0; i < numbers.size() && i < m_columns.size(); ++i) {
        const double w = fm.horizontalAdvance(numbers[i]);
        const double centre = m_columns[i] / kTwips - x();
        rects << QRectF(centre - w / 2, (height() - fm.height()) / 2, w, fm.height());
    }
    return rects;
}

void FretNumberLabel::makeOutlines()
{
    const OutlinesMadeFor madeFor{font(), caption(), x(), height()};
    if (m_outlinesMadeFor && *m_outlinesMadeFor == madeFor)
        return;
    m_outlinesMadeFor = madeFor;
    m_glyphs.clear();
    m_reach.clear();
    m_haloStamp.clear();
    m_inkStamp.clear();
    const QStringList numbers = caption().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QList<QRectF> rects = numberRects();
    const QFontMetricsF fm(font());
    for (qsizetype i = 0; i < rects.size(); ++i) {
        QPainterPath number;
        number.addText(rects[i].left(), rects[i].top() + fm.ascent(), font(), numbers[i]);
        m_glyphs.addPath(number);
        m_reach << number.controlPointRect().adjusted(-kHalo, -kHalo, kHalo, kHalo).toAlignedRect();
    }
}

void FretNumberLabel::paintEvent(QPaintEvent* e)
{
    makeOutlines();
    // Only the numbers that reach into the area being painted leave a pixel
    // in it; when none does, nothing is drawn.
    QRect reach;
    for (const QRect& r : std::as_const(m_reach))
        reach |= r;
    if (!std::any_of(m_reach.begin(), m_reach.end(), [e](const QRect& r) { return e->region().intersects(r); }))
        return;
    QPainter p(this);
    // The halo, the window colour round every glyph, then the glyphs on it:
    // stroked and filled once into stamps, as stroking the halo at each paint
    // is the costliest drawing in the window.
    const QColor halo(255, 224, 192), ink = palette().color(QPalette::WindowText);
    m_haloStamp.lay(p, {0, 0, halo.rgba64()}, reach, [this, halo](QPainter& s) {
        s.strokePath(m_glyphs, QPen(halo, kHaloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    });
    m_inkStamp.lay(p, {0, 0, ink.rgba64()}, reach, [this, ink](QPainter& s) {
        s.setPen(Qt::NoPen);
        s.setBrush(ink);
        s.drawPath(m_glyphs);
    });
}

// ---------------------------------------------------------------- text boxes

namespace {

/// The style the application starts with (an instance of its own), but a
/// line edit's panel is copied from a picture of it, one for each size,
/// state, palette and pixel grid met: the antialiased rounded frame some
/// styles stroke costs far more than the copy, and the box of the chord's
/// notes repaints at every chord. Where the panel does not fall on whole
/// device pixels it is drawn as usual. One instance serves every text box.
class PanelPictureStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement pe, const QStyleOption* opt, QPainter* p, const QWidget* w) const override
    {
        const QTransform device = p->deviceTransform();
        const QRectF onDevice = device.mapRect(QRectF(opt->rect));
        if (pe != PE_PanelLineEdit || device.type() > QTransform::TxScale || onDevice != QRectF(onDevice.toRect())) {
            QProxyStyle::drawPrimitive(pe, opt, p, w);
            return;
        }
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(opt);
        const Key key{onDevice.size(),
                      device.m11(),
                      device.m22(),
                      int(opt->state),
                      opt->palette.cacheKey(),
                      frame ? frame->lineWidth : -1,
                      int(opt->direction),
                      int(p->renderHints())};
        // Drawn with the device's scale and the painter's hints, shifted by
        // whole pixels only, each pixel comes out as it would on the device.
        auto it = std::find_if(m_pictures.begin(), m_pictures.end(), [&key](const auto& e) { return e.first == key; });
        if (it == m_pictures.end()) {
            if (m_pictures.size() >= kPictures) // palettes or screens come and go: start afresh
                m_pictures.clear();
            QImage made(onDevice.size().toSize(), QImage::Format_ARGB32_Premultiplied);
            made.fill(Qt::transparent);
            QPainter ip(&made);
            ip.setRenderHints(p->renderHints());
            ip.setTransform(device * QTransform::fromTranslate(-onDevice.x(), -onDevice.y()));
            QProxyStyle::drawPrimitive(pe, opt, &ip, w);
            ip.end();
            m_pictures.append({key, made});
            it = m_pictures.end() - 1;
        }
        drawOnDevicePixels(*p, it->second, onDevice.topLeft());
    }

private:
    /// What sets one picture of a panel apart from another.
    struct Key {
        QSizeF size;
        double m11, m22;
        int state;
        qint64 palette;
        int lineWidth, direction, hints;
        bool operator==(const Key&) const = default;
    };
    /// Room for the window's boxes in a few states each.
    static constexpr qsizetype kPictures = 32;
    mutable QList<std::pair<Key, QImage>> m_pictures;
};

QStyle* panelPictureStyle()
{
    static QPointer<QStyle> style; // the application's, gone with it
    if (!style) {
        style = new PanelPictureStyle;
        style->setParent(qApp);
    }
    return style;
}

} // namespace

TextBoxControl::TextBoxControl(QWidget* parent, const QString& name, double left, double top, double width,
                               double height)
    : QLineEdit(parent)
{
    setObjectName(name);
    placeTwips(this, left, top, width, height);
    setStyle(panelPictureStyle());
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
    writeText(text);
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
            writeText(itemText(index));
    }
    // The selection handler runs even when the index does not change.
    if (index >= 0)
        emit listClicked();
}

void ComboControl::writeText(const QString& t)
{
    m_programText = t;
    setEditText(t);
}

void ComboControl::settleTypedText()
{
    const QString typed = currentText();
    if (typed == m_programText)
        return;
    for (int i = 0; i < count(); ++i) {
        if (itemText(i).trimmed().compare(typed.trimmed(), Qt::CaseInsensitive) == 0) {
            const QSignalBlocker quiet(this);
            setCurrentIndex(i);
            writeText(itemText(i));
            return;
        }
    }
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

void ButtonControl::paintEvent(QPaintEvent*)
{
    // Drawn with the fixed colours through one palette made once, whatever
    // the window's: the style caches button faces under the palette's
    // identity, and the volume window's button is made afresh at every load.
    static const QPalette fixed = fixedPalette();
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.palette = fixed;
    painter.drawControl(QStyle::CE_PushButton, option);
}

// ---------------------------------------------------------------- picture and overlay

PictureControl::PictureControl(QWidget* parent, const QString& name, double left, double top, Loader load)
    : QWidget(parent), m_load(std::move(load)), m_left(left), m_top(top)
{
    setObjectName(name);
    setMouseTracking(true);
    // Shown at its natural size, 15 twips to the pixel.
    setGeometry(int(left / kTwips), int(top / kTwips), 921, 377);
    loadFor(devicePixelRatioF());
}

void PictureControl::loadFor(double ratio)
{
    m_forDense = ratio > 1.0;
    m_picture = m_load(m_forDense);
    if (m_picture.isNull())
        m_picture = m_load(!m_forDense);
    m_scaled = QPixmap();
    // A picture that fills the area without transparency hides what lies
    // beneath it, which then is not painted first.
    setAttribute(Qt::WA_OpaquePaintEvent, !m_picture.hasAlphaChannel()
                 && (m_picture.size() == size() || m_picture.size() == size() * 2));
    emit pictureLoaded();
}

void PictureControl::loadForScreen()
{
    const double ratio = devicePixelRatioF();
    if ((ratio > 1.0) != m_forDense)
        loadFor(ratio);
}

void PictureControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintPicture(p);
}

void PictureControl::paintPicture(QPainter& p)
{
    loadForScreen();
    if (m_picture.isNull())
        return;
    if (m_picture.size() != size() * 2) {
        p.drawPixmap(QRect(QPoint(0, 0), m_picture.size()), m_picture);
        return;
    }
    p.drawPixmap(QPointF(0, 0), scaledForScreen());
}

const QPixmap& PictureControl::scaledForScreen()
{
    // Resampled once per ratio from the drawing at twice the size to whole
    // device pixels, so strings and wires keep an even width at any scale.
    const double ratio = devicePixelRatioF();
    const QSize device(int(std::lround(width() * ratio)), int(std::lround(height() * ratio)));
    if (m_scaled.size() != device) {
        m_scaled = m_picture.size() == device
            ? m_picture
            : m_picture.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_scaled.setDevicePixelRatio(ratio);
    }
    return m_scaled;
}

QImage PictureControl::devicePicture(double ratio)
{
    loadForScreen();
    const QSize device = size() * ratio;
    if (m_picture.size() == size() * 2) {
        const QPixmap& scaled = scaledForScreen();
        return scaled.size() == device ? scaled.toImage() : QImage();
    }
    return !m_picture.isNull() && m_picture.size() == device && ratio == 1 ? m_picture.toImage() : QImage();
}

void PictureControl::mousePressEvent(QMouseEvent* e)
{
    const QPointF pos = e->position();
    emit mouseDown(buttonCode(e->button()), shiftCode(e->modifiers()), pos.x() * kTwips, pos.y() * kTwips);
}

void PictureControl::pressHotSpot(int i)
{
    if (i < 0 || i >= m_hotSpots.size())
        return;
    const QPointF centre = m_hotSpots[i].second.center();
    emit mouseDown(LeftButton, 0, centre.x(), centre.y());
}

void PictureControl::mouseMoveEvent(QMouseEvent* e)
{
    const QPointF pos = e->position();
    emit mouseMove(buttonsCode(e->buttons()), shiftCode(e->modifiers()), pos.x() * kTwips, pos.y() * kTwips);
}

OverlayCanvas::OverlayCanvas(QWidget* parent, const QRect& area) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(area);
}

void OverlayCanvas::addShape(ShapeControl* s)
{
    m_items << s;
    m_stamps.resize(m_items.size());
    m_placed << itemPlace(int(m_items.size()) - 1);
    m_painted << itemArea(int(m_items.size()) - 1);
    connect(s, &ShapeControl::changed, this, &OverlayCanvas::refresh);
}

void OverlayCanvas::addLine(LineControl* l)
{
    m_items << l;
    m_stamps.resize(m_items.size());
    m_placed << itemPlace(int(m_items.size()) - 1);
    m_painted << itemArea(int(m_items.size()) - 1);
    connect(l, &LineControl::changed, this, &OverlayCanvas::refresh);
}

bool OverlayCanvas::addLabel(LabelControl* label)
{
    QWidget* parent = parentWidget();
    if (!label || label->parentWidget() != parent || !geometry().contains(label->geometry()))
        return false;
    // Drawn over the items, the label must lie over every widget it lay
    // over when it painted itself: none between it and the canvas may meet
    // it but labels the canvas draws before it.
    const QObjectList& siblings = parent->children();
    const qsizetype from = siblings.indexOf(this), to = siblings.indexOf(label);
    if (from < 0 || to < from)
        return false;
    for (qsizetype i = from + 1; i < to; ++i) {
        auto* w = qobject_cast<QWidget*>(siblings[i]);
        auto* drawn = qobject_cast<LabelControl*>(w);
        if (w && !w->isWindow() && w->geometry().intersects(label->geometry()) && !(drawn && m_labels.contains(drawn)))
            return false;
    }
    m_labels << label;
    connect(label, &QObject::destroyed, this, [this, label] { m_labels.removeOne(label); });
    label->setUpdatesEnabled(false);
    connect(label, &LabelControl::looksChanged, this, [this, label] {
        // Its area repaints at the next refresh(); one is posted, for a
        // change that no refresh() follows.
        if (m_labelAreas.isEmpty())
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!m_labelAreas.isEmpty())
                        refresh();
                },
                Qt::QueuedConnection);
        m_labelAreas << label->geometry().translated(-pos());
    });
    update(label->geometry().translated(-pos()));
    return true;
}

namespace {

/// The device pixels of `r` (in the painter's coordinates) under `device`,
/// a whole scale at whole offsets, within `image`.
QRect devicePixels(const QTransform& device, const QRect& r, const QImage& image)
{
    const int scale = int(device.m11());
    return QRect(QPoint(int(device.dx()), int(device.dy())) + r.topLeft() * scale, r.size() * scale) & image.rect();
}

} // namespace

void OverlayCanvas::paintLabels(QPainter& p, const QRegion& region, QImage* into)
{
    if (m_labels.isEmpty())
        return;
    p.setClipping(false); // the region painted still bounds it
    const QTransform device = p.deviceTransform();
    for (LabelControl* label : std::as_const(m_labels)) {
        const QRect area = label->geometry().translated(-pos());
        if (label->isHidden() || !label->shows() || !region.intersects(area))
            continue;
        // A label's fill of one opaque colour is written straight into the
        // image where the picture was.
        const QBrush& fill = label->palette().brush(label->backgroundRole());
        const bool filled = into && label->fills() && fill.style() == Qt::SolidPattern && fill.color().alpha() == 255;
        if (filled) {
            const QRgb colour = fill.color().rgba();
            for (const QRect& r : region) {
                const QRect d = devicePixels(device, r & area, *into);
                for (int y = d.top(); y <= d.bottom(); ++y) {
                    auto* row = reinterpret_cast<QRgb*>(into->bits() + y * into->bytesPerLine());
                    std::fill(row + d.left(), row + d.right() + 1, colour);
                }
            }
        }
        label->drawLabel(p, region, area.topLeft(), !filled);
    }
}

std::optional<QLineF> OverlayCanvas::itemPlace(int i) const
{
    if (auto* s = qobject_cast<ShapeControl*>(m_items[i]))
        return s->visible() ? std::optional(QLineF(s->left(), s->top(), s->left() + s->width(), s->top() + s->height()))
                            : std::nullopt;
    auto* l = static_cast<LineControl*>(m_items[i]);
    return l->visible() ? std::optional(QLineF(l->x1(), l->y1(), l->x2(), l->y2())) : std::nullopt;
}

QRegion OverlayCanvas::itemArea(int i) const
{
    QRegion area;
    if (auto* s = qobject_cast<ShapeControl*>(m_items[i])) {
        if (!s->visible())
            return {};
        const QRectF pixels(s->left() / kTwips, s->top() / kTwips, s->width() / kTwips, s->height() / kTwips);
        // Antialiased edges reach into the next pixel.
        area = pixels.adjusted(-1, -1, 1, 1).toAlignedRect();
    } else if (auto* l = qobject_cast<LineControl*>(m_items[i])) {
        if (!l->visible())
            return {};
        const QPointF a = QPointF(l->x1(), l->y1()) / kTwips, b = QPointF(l->x2(), l->y2()) / kTwips;
        const double margin = 1 + l->widthPx() / 2.0;
        // Every pixel the pen touches lies within `margin` of the line. The
        // area is cut into rows on a grid all lines share, each as wide as
        // the line's part in it: rows that line up keep the area to a few
        // rectangles a row, and Qt's region work at every widget the repaint
        // meets grows with their number.
        constexpr int row = 16;
        const QPointF d = b - a;
        const double top = std::min(a.y(), b.y()) - margin, bottom = std::max(a.y(), b.y()) + margin;
        for (int r = int(std::floor(top / row)); r * row < bottom; ++r) {
            const double y0 = std::max(top, double(r * row)), y1 = std::min(bottom, double((r + 1) * row));
            // The part of the line within `margin` of the row.
            double t0 = 0, t1 = 1;
            if (d.y() != 0) {
                t0 = std::clamp((y0 - margin - a.y()) / d.y(), 0.0, 1.0);
                t1 = std::clamp((y1 + margin - a.y()) / d.y(), 0.0, 1.0);
            }
            const double x0 = a.x() + d.x() * t0, x1 = a.x() + d.x() * t1;
            area += QRectF(QPointF(std::min(x0, x1) - margin, y0), QPointF(std::max(x0, x1) + margin, y1))
                        .toAlignedRect();
        }
    }
    return area.translated(-pos()) & rect();
}

QRect OverlayCanvas::itemBounds(int i) const
{
    const std::optional<QLineF> place = itemPlace(i);
    if (!place)
        return {};
    const auto* l = qobject_cast<LineControl*>(m_items[i]);
    const double margin = 1 + (l ? l->widthPx() / 2.0 : 0);
    const QRectF pixels(place->p1() / kTwips, place->p2() / kTwips);
    return pixels.normalized().adjusted(-margin, -margin, margin, margin).toAlignedRect().translated(-pos()) & rect();
}

void OverlayCanvas::setBackdrop(PictureControl* picture)
{
    m_backdrop = picture;
    // Opaque when the picture is: what lies beneath is then not painted.
    const auto follow = [this] {
        const bool opaque = m_backdrop->testAttribute(Qt::WA_OpaquePaintEvent);
        if (opaque != testAttribute(Qt::WA_OpaquePaintEvent)) {
            setAttribute(Qt::WA_OpaquePaintEvent, opaque);
            update();
        }
        m_layer = QImage();
    };
    connect(picture, &PictureControl::pictureLoaded, this, follow);
    follow();
}

namespace {

/// Whether the layer, at device pixel ratio `ratio`, is composed and copied
/// pixel for pixel; at a fractional ratio every pixel is resampled.
bool copiedPixelForPixel(double ratio)
{
    return ratio == std::floor(ratio);
}

/// The pixels of `r`.
qint64 pixelsOf(const QRect& r)
{
    return qint64(r.width()) * r.height();
}

/// How many pixels the rectangle around `a` and `b` adds to theirs.
qint64 mergeCost(const QRect& a, const QRect& b)
{
    return pixelsOf(a | b) - pixelsOf(a) - pixelsOf(b) + pixelsOf(a & b);
}

/// What one more rectangle in a repaint costs, in pixels painted: Qt's
/// region work at every widget the repaint meets.
constexpr qint64 kRectCost = 4096;

/// Rectangles covering all of `rects`, two merged into the rectangle around
/// them wherever that adds fewer than kRectCost pixels, the cheapest merge
/// first. Runs of rectangles one after another (the rows of a slanting
/// line) are merged in one pass first, which leaves a handful to pair.
QList<QRect> coveringRects(const QList<QRect>& rects)
{
    QList<QRect> out;
    for (const QRect& r : rects) {
        if (r.isEmpty())
            continue;
        if (!out.isEmpty() && mergeCost(out.back(), r) < kRectCost)
            out.back() |= r;
        else
            out << r;
    }
    // The cost of merging each pair, kept up to date as merges grow one.
    const qsizetype n = out.size();
    std::vector<qint64> cost(size_t(n * n));
    const auto pair = [&cost, n](qsizetype i, qsizetype j) -> qint64& {
        return cost[size_t(std::min(i, j) * n + std::max(i, j))];
    };
    for (qsizetype i = 0; i < n; ++i)
        for (qsizetype j = i + 1; j < n; ++j)
            pair(i, j) = mergeCost(out[i], out[j]);
    std::vector<char> merged(size_t(n), 0);
    for (;;) {
        qint64 cheapest = kRectCost;
        qsizetype a = -1, b = -1;
        for (qsizetype i = 0; i < n; ++i)
            for (qsizetype j = i + 1; j < n; ++j)
                if (!merged[size_t(i)] && !merged[size_t(j)] && pair(i, j) < cheapest) {
                    cheapest = pair(i, j);
                    a = i;
                    b = j;
                }
        if (a < 0)
            break;
        out[a] |= out[b];
        merged[size_t(b)] = 1;
        for (qsizetype k = 0; k < n; ++k)
            if (k != a && !merged[size_t(k)])
                pair(a, k) = mergeCost(out[a], out[k]);
    }
    QList<QRect> kept;
    for (qsizetype i = 0; i < n; ++i)
        if (!merged[size_t(i)])
            kept << out[i];
    return kept;
}

} // namespace

void OverlayCanvas::refresh()
{
    // At a whole device pixel ratio, where the canvas paints pixel for pixel,
    // the areas of what moved are merged into a few rectangles (see
    // coveringRects); at a fractional one, where every pixel copied or drawn
    // is resampled, each moved item repaints only its own area.
    const bool whole = copiedPixelForPixel(devicePixelRatioF());
    QList<QRect> moved;
    for (int i = 0; i < m_items.size(); ++i) {
        // Only an item that moved, appeared or vanished has its area made again.
        const std::optional<QLineF> place = itemPlace(i);
        if (place == m_placed[i])
            continue;
        m_placed[i] = place;
        const QRegion now = itemArea(i);
        if (whole) {
            for (const QRegion* area : {static_cast<const QRegion*>(&m_painted[i]), &now})
                for (const QRect& r : *area)
                    moved << r;
        } else {
            update(m_painted[i]);
            update(now);
            if (!m_layer.isNull())
                m_stale << (m_painted[i].boundingRect() | now.boundingRect());
        }
        m_painted[i] = now;
    }
    // The labels drawn here whose text, fill or showing changed.
    for (const QRect& r : std::as_const(m_labelAreas)) {
        if (whole)
            moved << r;
        else
            update(r);
    }
    m_labelAreas.clear();
    if (!moved.isEmpty()) {
        const QList<QRect> rects = coveringRects(moved);
        QRegion area;
        for (const QRect& r : rects)
            area += r;
        update(area);
        if (!m_layer.isNull())
            m_stale << rects;
    }
    // A window not painted for many changes composes the layer whole.
    if (m_stale.size() > 64)
        m_stale = {rect()};
}

void OverlayCanvas::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    QImage* direct = paintScene(p, e->region());
    paintLabels(p, e->region(), direct);
}

QImage* OverlayCanvas::paintScene(QPainter& p, const QRegion& region)
{
    if (!m_backdrop) {
        paintItems(p, region);
        return nullptr;
    }
    m_backdrop->loadForScreen(); // before its opacity is asked
    const bool opaque = testAttribute(Qt::WA_OpaquePaintEvent);
    // The layer serves where its pixels fall on whole device pixels at the
    // painter's density; elsewhere (a fractional scale, a grab at another
    // density) the canvas draws as it would without one.
    const double ratio = devicePixelRatioF();
    const QTransform device = p.deviceTransform();
    const bool whole = device.type() <= QTransform::TxScale && device.m11() == ratio && device.m22() == ratio
                       && device.dx() == std::round(device.dx()) && device.dy() == std::round(device.dy());
    if (!opaque || !whole) {
        if (opaque)
            m_backdrop->paintPicture(p);
        paintItems(p, region);
        return nullptr;
    }
    if (QImage* image = paintDirect(p, region)) {
        m_layer = QImage(); // kept only while the ratio is fractional
        return image;
    }
    const QSize pixels(int(std::lround(width() * ratio)), int(std::lround(height() * ratio)));
    if (m_layer.size() != pixels || m_layer.devicePixelRatio() != ratio) {
        m_layer = QImage(pixels, QImage::Format_RGB32);
        m_layer.setDevicePixelRatio(ratio);
        m_stale = {rect()};
    }
    if (!m_stale.isEmpty()) {
        // Each stale rectangle composed afresh, the picture and then every
        // item over it, under a plain rectangular clip: lines clipped to a
        // many-sided region cost Qt several times as much to draw. At a whole
        // ratio they are composed as one, so no item is drawn twice.
        QPainter layer(&m_layer);
        if (copiedPixelForPixel(ratio)) {
            QRect all;
            for (const QRect& r : std::as_const(m_stale))
                all |= r;
            m_stale = {all};
        }
        for (const QRect& r : std::as_const(m_stale)) {
            layer.setClipRect(r);
            m_backdrop->paintPicture(layer);
            paintItems(layer, r);
        }
        m_stale.clear();
    }
    // Copied a rectangle of the paint region at a time, each under a clip of
    // its own: under a plain rectangular clip Qt copies the rows straight
    // across, where through a clip of many rectangles it blends span by span
    // and hands a large copy to worker threads, waiting for them.
    if (copiedPixelForPixel(ratio)) {
        for (const QRect& r : region) {
            p.setClipRect(r);
            p.drawImage(r, m_layer, QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
        }
        return nullptr;
    }
    // At a fractional ratio a rectangle of the region need not fall on whole
    // device pixels, and a clip to it would not be plain: the copy goes in
    // bands of 16 device rows through the region's clip, as Qt hands a
    // larger copy through a clip of many rectangles to worker threads.
    const QRect bounds = region.boundingRect();
    const int band = std::max(1, int(16 / ratio));
    for (int y = bounds.top(); y <= bounds.bottom(); y += band) {
        const QRect r(bounds.left(), y, bounds.width(), std::min(band, bounds.bottom() + 1 - y));
        p.drawImage(r, m_layer, QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
    }
    return nullptr;
}

QImage* OverlayCanvas::paintDirect(QPainter& p, const QRegion& region)
{
    // The image the painter draws on: the window's backing store, or the
    // image of a grab. The canvas writes into it only where the painter
    // would put each pixel unchanged: a whole scale (the caller has seen to
    // a plain scale at whole offsets), plain painting, and a picture of the
    // device's pixels.
    QPaintDevice* device = p.paintEngine() ? p.paintEngine()->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image)
        return nullptr;
    auto* image = static_cast<QImage*>(device);
    const auto plain = [](QImage::Format f) {
        return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32_Premultiplied;
    };
    const QTransform at = p.deviceTransform();
    const double ratio = at.m11();
    if (!plain(image->format()) || !image->isDetached() || !copiedPixelForPixel(ratio) || p.opacity() != 1.0
        || p.compositionMode() != QPainter::CompositionMode_SourceOver)
        return nullptr;
    const QImage picture = m_backdrop->devicePicture(ratio);
    if (picture.isNull() || !plain(picture.format()))
        return nullptr;
    // The region a rectangle at a time in the image's pixels (the painter's
    // clip), the picture copied into each row by row, then the items laid
    // over them: with no layer between, each pixel is written once.
    const QPoint origin(int(at.dx()), int(at.dy()));
    uchar* const bits = image->bits();
    const qsizetype stride = image->bytesPerLine();
    QList<QRect> clips;
    for (const QRect& r : region) {
        const QRect d = devicePixels(at, r, *image) & QRect(origin, picture.size());
        if (d.isEmpty())
            continue;
        for (int y = d.top(); y <= d.bottom(); ++y)
            std::memcpy(bits + y * stride + d.left() * 4,
                        picture.constScanLine(y - origin.y()) + (d.left() - origin.x()) * 4, size_t(d.width()) * 4);
        clips << d;
    }
    paintItems(p, region, image, clips);
    return image;
}

void OverlayCanvas::paintItems(QPainter& p, const QRegion& region, QImage* into, const QList<QRect>& clips)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(-pos());
    p.scale(1.0 / kTwips, 1.0 / kTwips);
    const QTransform device = p.deviceTransform();
    // A stamp is laid through the painter, or blended into its image.
    const auto lay = [&](CoverageStamp& stamp, const CoverageStamp::Key& key, const QRectF& reach,
                         const std::function<void(QPainter&)>& draw) {
        if (!into) {
            stamp.lay(p, key, reach, draw);
            return;
        }
        stamp.layInto(*into, clips, device, key, reach, draw);
    };
    for (int i = 0; i < m_items.size(); ++i) {
        // An item not moved since refresh() has its area at hand; for one
        // moved since, its bounds will do: drawing what falls outside the
        // area painted changes no pixel.
        const bool meets = itemPlace(i) == m_placed[i] ? region.intersects(m_painted[i])
                                                       : region.intersects(itemBounds(i));
        if (!meets)
            continue;
        if (auto* s = qobject_cast<ShapeControl*>(m_items[i])) {
            // The oval's fill, then its border over it, each laid from a stamp
            // made when the oval moved: drawing an antialiased oval costs far
            // more than copying one, and the ovals under a moved leader line
            // are repainted at every chord. A border one device pixel wide
            // blends a shade apart from the stroke at some edge pixels (Qt
            // draws such a stroke with a line walker of its own blending).
            const double half = kTwips / 2;
            const QRectF oval(s->left() + half, s->top() + half, s->width() - kTwips, s->height() - kTwips);
            const QRectF reach = oval.adjusted(-kTwips, -kTwips, kTwips, kTwips);
            lay(m_stamps[i].first, {s->left(), s->top(), s->fill().rgba64()}, reach, [s, oval](QPainter& q) {
                q.setPen(Qt::NoPen);
                q.setBrush(s->fill());
                q.drawEllipse(oval);
            });
            lay(m_stamps[i].second, {s->left(), s->top(), s->border().rgba64()}, reach, [s, oval](QPainter& q) {
                q.setPen(QPen(s->border(), kTwips));
                q.setBrush(Qt::NoBrush);
                q.drawEllipse(oval);
            });
        } else if (auto* l = qobject_cast<LineControl*>(m_items[i])) {
            const QPen pen(l->color(), l->widthPx() * kTwips, Qt::SolidLine, Qt::FlatCap);
            const QLineF line(l->x1(), l->y1(), l->x2(), l->y2());
            if (!into) {
                p.setPen(pen);
                p.drawLine(line);
                continue;
            }
            // Blended, a leader line is laid from a stamp too: it moves among
            // a few places as chords change, and is rasterized once at each.
            const double margin = (1 + l->widthPx() / 2.0) * kTwips;
            lay(m_stamps[i].first, {l->x1(), l->y1(), l->color().rgba64(), l->x2(), l->y2(), double(l->widthPx())},
                QRectF(line.p1(), line.p2()).normalized().adjusted(-margin, -margin, margin, margin),
                [pen, line](QPainter& q) {
                    q.setPen(pen);
                    q.drawLine(line);
                });
        }
    }
    p.restore();
}

} // namespace chordmoss

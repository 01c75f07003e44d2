#pragma once
// The window's controls as the rest of the program sees them: each keeps its
// designer name as objectName and exposes Caption, Text, Visible, Left, Top,
// Width, Height (twips) and the like as Qt properties.
//
// Controls that show part of the voicing do not own those values: they are
// bound to the fields of the FretboardState that is the state of record, so a
// whole search walk can rewrite the display in plain memory and the widgets
// catch up once, in Form1::syncDisplay().

#include <QAccessible>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineF>
#include <QLineEdit>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QRegion>
#include <QStaticText>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>

#include "coveragestamp.h"
#include "mousebutton.h"

namespace chordmoss {

inline constexpr double kTwips = 15.0; // twips per pixel

/// Qt's buttons and modifiers in the handlers' codes.
int buttonCode(Qt::MouseButton b);
int buttonsCode(Qt::MouseButtons b);
int shiftCode(Qt::KeyboardModifiers m);

/// Places a widget at a rectangle given in twips.
void placeTwips(QWidget* w, double left, double top, double width, double height);

/// The colours of every text, mark and surface the windows draw, whatever the
/// desktop's theme: the design fixes the backgrounds, so a theme's light text
/// would vanish on them. Set on each window; popups (menus) take it too.
QPalette fixedPalette();

/// The window's sans-serif face at `points` as designed for 96 dots per inch,
/// sized in pixels: the layout is in pixels, so the desktop's font DPI must not
/// grow the text past its boxes; the whole window scales by device pixels
/// instead. The face is carried in the program, so no system font is needed.
QFont windowFont(double points);

/// Gives a control a role and a name for screen readers. Labels that act on
/// presses are announced as buttons and can be pressed through the reader;
/// a combo shows its list items, which choose as the list does; the
/// picture's hot spots are buttons. (controlaccessible.cpp)
void describeControl(QWidget* w, const QString& name, QAccessible::Role role = QAccessible::NoRole);

/// A value held by a control itself or bound to a field elsewhere.
template <typename T>
class Bound {
public:
    explicit Bound(T initial = T()) : m_own(std::move(initial)) {}
    void bind(T* field) { m_ptr = field; }
    const T& get() const { return *m_ptr; }
    bool set(const T& v)
    {
        if (*m_ptr == v)
            return false;
        *m_ptr = v;
        return true;
    }

private:
    T m_own;
    T* m_ptr = &m_own;
};

/// An oval drawn over the picture (finger dots, ellipses, the pick). Never
/// takes mouse presses.
class ShapeControl : public QObject {
    Q_OBJECT
    Q_PROPERTY(double Left READ left WRITE setLeft)
    Q_PROPERTY(double Top READ top WRITE setTop)
    Q_PROPERTY(double Width READ width CONSTANT)
    Q_PROPERTY(double Height READ height CONSTANT)
    Q_PROPERTY(bool Visible READ visible WRITE setVisible)
public:
    ShapeControl(QObject* parent, const QString& name, double left, double top, double width, double height,
                 QColor fill, QColor border);
    double left() const { return m_left.get(); }
    double top() const { return m_top; }
    double width() const { return m_width; }
    double height() const { return m_height; }
    bool visible() const { return m_visible.get(); }
    void setLeft(double v);
    void setTop(double v);
    void setVisible(bool v);
    QColor fill() const { return m_fill; }
    QColor border() const { return m_border; }
    void bindLeft(float* f) { m_left.bind(f); }
    void bindVisible(bool* f) { m_visible.bind(f); }
signals:
    void changed();

private:
    Bound<float> m_left;
    double m_top, m_width, m_height;
    Bound<bool> m_visible{false};
    QColor m_fill, m_border;
};

/// A straight line drawn over the window; never takes mouse presses.
class LineControl : public QObject {
    Q_OBJECT
    Q_PROPERTY(double X1 READ x1 WRITE setX1)
    Q_PROPERTY(double Y1 READ y1 WRITE setY1)
    Q_PROPERTY(double X2 READ x2 WRITE setX2)
    Q_PROPERTY(double Y2 READ y2 WRITE setY2)
    Q_PROPERTY(bool Visible READ visible WRITE setVisible)
public:
    LineControl(QObject* parent, const QString& name, double x1, double y1, double x2, double y2, QColor color,
                int widthPx, bool visible);
    double x1() const { return m_x1; }
    double y1() const { return m_y1; }
    double x2() const { return m_x2.get(); }
    double y2() const { return m_y2; }
    bool visible() const { return m_visible.get(); }
    void setX1(double v) { m_x1 = v; emit changed(); }
    void setY1(double v) { m_y1 = v; emit changed(); }
    void setX2(double v);
    void setY2(double v) { m_y2 = v; emit changed(); }
    void setVisible(bool v);
    QColor color() const { return m_color; }
    int widthPx() const { return m_widthPx; }
    void bindX2(float* f) { m_x2.bind(f); }
    void bindVisible(bool* f) { m_visible.bind(f); }
signals:
    void changed();

private:
    double m_x1, m_y1;
    Bound<float> m_x2;
    double m_y2;
    Bound<bool> m_visible;
    QColor m_color;
    int m_widthPx;
};

/// A label with a caption; reports presses (button, shift, X, Y in twips from
/// its own top-left corner) and clicks.
///
/// A label the program hides stays on the screen as Qt sees it and shows
/// nothing: it paints nothing, lets presses through to what lies beneath and
/// is invisible to screen readers. The strings' labels come and go with
/// every chord, and Qt asks the X server where the pointer is each time a
/// widget appears in a window the pointer is over: a wait on the server per
/// label, six for some chords, where a remote display makes each a network
/// round trip.
class LabelControl : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(bool Visible READ isShownFlag WRITE setShownFlag)
    Q_PROPERTY(double Left READ left)
    Q_PROPERTY(double Top READ top)
    Q_PROPERTY(double Width READ widthTwips)
    Q_PROPERTY(double Height READ heightTwips)
public:
    LabelControl(QWidget* parent, const QString& name, double left, double top, double width, double height,
                 const QString& caption);
    QString caption() const { return QString::fromStdString(m_caption.get()); }
    void setCaption(const QString& c);
    bool isShownFlag() const { return m_shown.get(); }
    /// Whether the widget shows the label now (it catches up in sync()).
    bool shows() const { return m_drawn; }
    void setShownFlag(bool v);
    double left() const { return m_left; }
    double top() const { return m_top; }
    double widthTwips() const { return m_width; }
    double heightTwips() const { return m_height; }
    void bindCaption(std::string* f) { m_caption.bind(f); }
    void bindVisible(bool* f) { m_shown.bind(f); }
    /// Fills the label's box with `colour` behind its text while it shows.
    /// The label fills it as it paints, not through Qt's background fill,
    /// which counts a widget as covering what lies beneath it: a repaint of
    /// the picture beneath the labels over it would be cut into many
    /// rectangles, and each costs region work at every widget it meets.
    void setFill(const QColor& colour);
    bool fills() const { return m_fills; }
    /// Brings the widget in line with its (possibly bound) caption and visibility.
    void sync();
    /// A left press and click, as a screen reader's press action makes
    /// them; none while the label is hidden.
    void press();
    /// Draws the label as its own paint does, through `p` with the label's
    /// top-left corner at `at`, where `region` (in p's coordinates) is being
    /// painted: a canvas beneath the label may draw it in its own repaint
    /// (OverlayCanvas::addLabel). Without `fill`, the caller has filled it.
    void drawLabel(QPainter& p, const QRegion& region, const QPoint& at = {}, bool fill = true);
signals:
    void mouseDown(int button, int shift, double x, double y);
    void clicked();
    /// What the label shows may have changed: its text, whether it shows,
    /// its place, fill, face or colours, or whether it is enabled.
    void looksChanged();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

private:
    /// A caption laid out for the label's width and wrapping, and whether
    /// its glyphs keep within the label's box at device pixel ratio
    /// `inkRatio` (0 before it is known).
    struct Laid {
        QStaticText text;
        double inkRatio = 0;
        bool inkInside = false;
    };
    Laid& laidText();
    /// The box the glyphs of `laid` can reach, from the label's top-left corner.
    QRect textReach(const QStaticText& laid) const;
    /// Whether the glyphs of `laid` drawn at device pixel ratio `ratio` on
    /// whole device pixels keep within the label's box.
    bool inkInside(const QStaticText& laid, double ratio) const;

    Bound<std::string> m_caption;
    Bound<bool> m_shown{true};
    /// Whether the widget shows the label now, and whether it fills its
    /// box when it does (setFill).
    bool m_drawn = true;
    bool m_fills = false;
    /// Whether Qt fills its background when it shows (setAutoFillBackground).
    bool m_autoFills = false;
    /// The texts laid out, each for this width and wrapping.
    QHash<QString, Laid> m_layouts;
    int m_layoutWidth = -1;
    bool m_layoutWraps = false;
    double m_left, m_top, m_width, m_height;
};

/// The fret numbers over the neck. The caption holds them padded with spaces
/// as the design wrote them for its own font; drawn as they stand, they drift
/// off their frets in any other face. So each number is drawn centred over
/// its fret column, in a halo of the window colour that keeps it readable on
/// the dark wood beneath.
class FretNumberLabel : public LabelControl {
    Q_OBJECT
public:
    /// `columns[i]` is the window x (twips) of the centre of the column of the
    /// i-th number of the caption, from the left.
    FretNumberLabel(QWidget* parent, const QString& name, double left, double top, double width, double height,
                    const QString& caption, QList<double> columns);
    /// Where each number is drawn, in the label's pixels.
    QList<QRectF> numberRects() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    /// Makes each number's outline, and the pixels its halo can reach, again
    /// when the font, the caption or the label's place has changed since.
    void makeOutlines();

    QList<double> m_columns;
    /// What the outlines were last made for.
    struct OutlinesMadeFor {
        QFont font;
        QString caption;
        int x, height;
        bool operator==(const OutlinesMadeFor&) const = default;
    };
    std::optional<OutlinesMadeFor> m_outlinesMadeFor;
    /// Every number's outline, and the pixels each number's halo can reach.
    QPainterPath m_glyphs;
    QList<QRect> m_reach;
    CoverageStamp m_haloStamp, m_inkStamp;
};

/// Left, Top, Width and Height of a widget control, in twips.
#define CHORDMOSS_TWIPS_GEOMETRY                                                                                       \
    Q_PROPERTY(double Left READ leftTwips)                                                                             \
    Q_PROPERTY(double Top READ topTwips)                                                                               \
    Q_PROPERTY(double Width READ widthTwips)                                                                           \
    Q_PROPERTY(double Height READ heightTwips)                                                                         \
public:                                                                                                                \
    double leftTwips() const { return x() * kTwips; }                                                                  \
    double topTwips() const { return y() * kTwips; }                                                                   \
    double widthTwips() const { return width() * kTwips; }                                                             \
    double heightTwips() const { return height() * kTwips; }                                                           \
                                                                                                                       \
private:

/// A one-line text box; reports losing the keyboard focus.
class TextBoxControl : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString Text READ textValue WRITE setTextValue)
    Q_PROPERTY(bool Visible READ isVisibleTo WRITE setVisible)
    CHORDMOSS_TWIPS_GEOMETRY
public:
    TextBoxControl(QWidget* parent, const QString& name, double left, double top, double width, double height);
    QString textValue() const;
    void setTextValue(const QString& t);
    /// Binds the text to a field: the program writes the field, and what the
    /// user types is written back to it.
    void bindText(std::string* f);
    bool isVisibleTo() const { return !isHidden(); }
    void sync();
signals:
    void lostFocus();

protected:
    void focusOutEvent(QFocusEvent* e) override;

private:
    std::string* m_bound = nullptr;
};

/// An editable combo box. A list selection, by the user or by writing
/// ListIndex, emits listClicked() before the selection call returns.
class ComboControl : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QString Text READ textValue WRITE setTextValue)
    Q_PROPERTY(int ListIndex READ listIndex WRITE setListIndex)
    Q_PROPERTY(bool Visible READ isVisibleTo WRITE setVisible)
    CHORDMOSS_TWIPS_GEOMETRY
public:
    ComboControl(QWidget* parent, const QString& name, double left, double top, double width, double height,
                 const QStringList& items, const QString& text);
    QString textValue() const { return currentText(); }
    void setTextValue(const QString& t) { setEditText(t); }
    /// Returns the selected item's index, or -1 when the text was edited away from it.
    int listIndex() const;
    /// Chooses an item as from the list (a screen reader's choice goes here too).
    void setListIndex(int index);
    bool isVisibleTo() const { return !isHidden(); }
    /// Writes a text of the program's own, which settleTypedText() leaves as it is.
    void writeText(const QString& t);
    /// A typed text that names a list item but for blanks and case is taken as
    /// that item: the box shows the item and the list selects it. A text that
    /// names none, or that the program wrote, stays. Runs no handler.
    void settleTypedText();
signals:
    void listClicked();

private:
    QString m_programText;
};

class CheckControl : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(int Value READ value WRITE setValue)
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(bool Visible READ isVisibleTo WRITE setVisible)
    CHORDMOSS_TWIPS_GEOMETRY
public:
    CheckControl(QWidget* parent, const QString& name, double left, double top, double width, double height,
                 const QString& caption);
    int value() const { return checkState() == Qt::Checked ? 1 : checkState() == Qt::PartiallyChecked ? 2 : 0; }
    void setValue(int v);
    bool isVisibleTo() const { return !isHidden(); }
};

class ButtonControl : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(bool Visible READ isVisibleTo WRITE setVisible)
    CHORDMOSS_TWIPS_GEOMETRY
public:
    ButtonControl(QWidget* parent, const QString& name, double left, double top, double width, double height,
                  const QString& caption);
    bool isVisibleTo() const { return !isHidden(); }

protected:
    void paintEvent(QPaintEvent* e) override;
};

/// The guitar picture: reports presses and moves in twips from its corner.
/// Only the drawing the screen needs is read: the one at twice the size on a
/// screen with more than one device pixel to the pixel, else the plain one,
/// each standing in for the other when it cannot be read; moved to a screen
/// of the other kind, the picture reads the other drawing.
class PictureControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double Left READ left CONSTANT)
    Q_PROPERTY(double Top READ top CONSTANT)
    Q_PROPERTY(bool Visible READ isVisibleTo)
public:
    /// Reads the drawing at twice the size (`sharp`) or the plain one; a null
    /// pixmap when it cannot.
    using Loader = std::function<QPixmap(bool sharp)>;
    PictureControl(QWidget* parent, const QString& name, double left, double top, Loader load);
    double left() const { return m_left; }
    double top() const { return m_top; }
    bool isVisibleTo() const { return !isHidden(); }
    bool hasPicture() const { return !m_picture.isNull(); }
    /// A part of the picture that acts on a press (the volume knob): a
    /// screen reader sees it as a button named `name`, whose press is a left
    /// press at the centre of `twips`.
    void addHotSpot(const QString& name, const QRectF& twips) { m_hotSpots.append({name, twips}); }
    const QList<QPair<QString, QRectF>>& hotSpots() const { return m_hotSpots; }
    /// A left press at the centre of hot spot `i`, as the mouse would make it.
    void pressHotSpot(int i);
    /// Reads the drawing again if the screen's density changed since it was read.
    void loadForScreen();
    /// Draws the picture through `p`, with this control's corner at the
    /// origin, as the control paints itself.
    void paintPicture(QPainter& p);
    /// The picture as paintPicture() draws it at `ratio` device pixels to the
    /// pixel, pixel for pixel: an image of this control's size times `ratio`,
    /// or a null one where the picture is drawn resampled.
    QImage devicePicture(double ratio);
signals:
    /// The drawing was read (again): whether the control is opaque may have changed.
    void pictureLoaded();
    void mouseDown(int button, int shift, double x, double y);
    void mouseMove(int buttons, int shift, double x, double y);
    void mouseLeft();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override { emit mouseLeft(); }

private:
    /// Reads the drawing for `ratio` device pixels to the pixel.
    void loadFor(double ratio);
    /// The drawing at twice the size resampled to the screen's device pixels.
    const QPixmap& scaledForScreen();

    Loader m_load;
    /// The drawing read, and whether it was read for a dense screen.
    QPixmap m_picture;
    bool m_forDense = false;
    /// A drawing at twice the size resampled for the ratio it was last drawn at.
    QPixmap m_scaled;
    double m_left, m_top;
    QList<QPair<QString, QRectF>> m_hotSpots;
};

/// Paints shapes and lines, in creation order, over the part of the window it
/// covers (the guitar picture, or the band above it); transparent to the
/// mouse, so presses reach the picture beneath. Items are placed in the
/// window's twips. Only what changed is repainted: refresh() compares each
/// item's place with the one last painted and repaints a few rectangles
/// around what moved (at a fractional device pixel ratio, each moved item's
/// own area), and a paint draws only the items that meet the area being
/// painted. The labels over the picture are drawn by the canvas too.
class OverlayCanvas : public QWidget {
    Q_OBJECT
public:
    /// Covers `area`, in pixels of the parent.
    OverlayCanvas(QWidget* parent, const QRect& area);
    void addShape(ShapeControl* s);
    void addLine(LineControl* l);
    /// Draws `label`, a sibling above the canvas, in the canvas's own
    /// repaints, over the items, when it lies within the canvas and no
    /// widget between them in the stacking order overlaps it; labels are
    /// drawn in the order added. Qt then paints the label no more: a chord
    /// repaints the labels over the picture without the work Qt does for
    /// each widget it paints. The label stays a widget, for the mouse and
    /// for screen readers. Whether it was taken.
    bool addLabel(LabelControl* label);
    /// Repaints the areas of the items that moved, appeared or vanished
    /// since they were last painted (their values may be bound elsewhere).
    void refresh();
    /// Has the canvas paint `picture`, which it covers exactly, beneath its
    /// items. At a whole device pixel ratio both are written straight into
    /// the window's image, the items laid from stamps; at a fractional one
    /// they are composed in a layer, where a moved item is drawn again with a
    /// plain rectangular clip, and the window is painted from the layer.
    void setBackdrop(PictureControl* picture);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    /// Draws the items that meet `region` through `p`, which paints this
    /// canvas; with `into` (the image `p` paints on), blends them straight
    /// into it within `clips`, rectangles of its pixels.
    void paintItems(QPainter& p, const QRegion& region, QImage* into = nullptr, const QList<QRect>& clips = {});
    /// Paints the picture and the items over it straight into the image `p`
    /// paints on, when `p` draws there pixel for pixel at a whole ratio;
    /// the image if it did. `p`'s device transform is a scale with whole
    /// offsets.
    QImage* paintDirect(QPainter& p, const QRegion& region);
    /// Where item `i` stands, in twips: a shape by its corners, a line by
    /// its ends; nothing when it is hidden.
    std::optional<QLineF> itemPlace(int i) const;
    /// The pixels item `i` paints, in this canvas; empty when it is hidden.
    /// A slanting line's area follows the line in rows 16 pixels high.
    QRegion itemArea(int i) const;
    /// A rectangle around itemArea(i).
    QRect itemBounds(int i) const;
    /// Paints the picture and the items over it where `region` is.
    /// The image it wrote into straight (see paintDirect()), if it did.
    QImage* paintScene(QPainter& p, const QRegion& region);
    /// Draws the labels taken by addLabel() that meet `region`, over all
    /// else, through `p` (which paints this canvas); plain fills straight
    /// into `into`, the image p paints on pixel for pixel, if given.
    void paintLabels(QPainter& p, const QRegion& region, QImage* into = nullptr);

    QList<QObject*> m_items;
    /// Each item's place and area when last repainted.
    QList<std::optional<QLineF>> m_placed;
    QList<QRegion> m_painted;
    /// A shape's fill and border as last laid; a line's stroke, when laid
    /// from a stamp, in the first.
    QList<std::pair<CoverageStamp, CoverageStamp>> m_stamps;
    PictureControl* m_backdrop = nullptr;
    QList<LabelControl*> m_labels;
    /// The areas of labels that changed since the last refresh().
    QList<QRect> m_labelAreas;
    /// At a fractional ratio, the backdrop with the items over it in device
    /// pixels, and the rectangles of it to compose again before it is
    /// painted from.
    QImage m_layer;
    QList<QRect> m_stale;
};

} // namespace chordmoss

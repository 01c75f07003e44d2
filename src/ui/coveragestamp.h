#pragma once

#include <QImage>
#include <QList>
#include <QPainter>
#include <QRectF>
#include <QTransform>

#include <functional>

namespace chordmoss {

/// A drawing in one colour, rasterized once where it lands on the device:
/// the colour at each device pixel's antialiased coverage, on transparency.
/// Laid over the window, it gives the pixels that filling or stroking the
/// drawing there gives (both blend the colour at its coverage over what lies
/// beneath), for the cost of copying an image. A drawing of several colours
/// takes one stamp per colour, laid in the order they are drawn.
///
/// Made for one device transform: the pixel grid under the drawing must be
/// the same when it is laid, or it is made again. A stamp keeps the last few
/// drawings it made, so a mark that moves among a few places (a fret dot)
/// is rasterized once at each.
/// Draws `image` through `p` pixel for pixel, its top left corner at
/// `corner` in device pixels, whatever the painter's world transform (which
/// it leaves as it was). The image's pixel ratio is set to the density the
/// painter draws at: that of the device it is redirected to, when a widget
/// is rendered elsewhere.
void drawOnDevicePixels(QPainter& p, QImage& image, const QPointF& corner);

class CoverageStamp {
public:
    /// What sets a drawing apart from the others a stamp makes: its place,
    /// where the drawing function does not fix it, and its colour.
    struct Key {
        double x = 0, y = 0;
        quint64 colour = 0;
        /// A line's other end and width (none for a shape).
        double x2 = 0, y2 = 0, width = 0;
        bool operator==(const Key&) const = default;
    };

    /// Lays the stamp through `p`, first making it, when it holds no drawing
    /// for `key` at the painter's device transform, by `draw` on a painter
    /// with the same transform; `bounds` (in `p`'s coordinates) holds every
    /// pixel `draw` can touch.
    void lay(QPainter& p, const Key& key, const QRectF& bounds, const std::function<void(QPainter&)>& draw);
    /// As lay(), for a painter with `device` as its device transform, but
    /// blended straight into `target` (Format_RGB32 or
    /// Format_ARGB32_Premultiplied) within `clips`, rectangles of its pixels
    /// in bands as a QRegion keeps them, as QPainter's SourceOver blends an
    /// image. The drawing is kept as the runs of its pixels that are not
    /// transparent: a long slanting line keeps a few pixels a row, not the
    /// rectangle around it.
    void layInto(QImage& target, const QList<QRect>& clips, const QTransform& device, const Key& key,
                 const QRectF& bounds, const std::function<void(QPainter&)>& draw);
    /// Forgets every drawing, so the next lay() makes its drawing again.
    void clear() { m_drawings.clear(); }

private:
    /// Pixels of a row of a drawing, `count` of them from (`x`, `y`) in
    /// device pixels, kept from `first` on in Drawing::pixels: all opaque
    /// (copied) or all translucent (blended).
    struct Run {
        int y, x, count;
        qsizetype first;
        bool opaque;
    };
    struct Drawing {
        Key key;
        QTransform device;
        /// The drawing as an image (for lay()) or as runs (for layInto()).
        QImage image;
        /// The image's corner in device pixels.
        QPoint corner;
        /// The rectangle of device pixels the runs lie in.
        QRect box;
        QList<Run> runs;
        QList<QRgb> pixels;
    };
    /// The drawing for `key` at `device`, made by `draw` when the stamp holds
    /// none (as an image, or as runs), and moved to the front.
    Drawing& find(const QTransform& device, const Key& key, const QRectF& bounds,
                  const std::function<void(QPainter&)>& draw, bool asRuns);
    /// Most recently laid first.
    QList<Drawing> m_drawings;
    static constexpr qsizetype kKept = 16;
};

} // namespace chordmoss

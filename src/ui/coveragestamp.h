#pragma once

#include <QImage>
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
/// the same when it is laid, or it is made again.
class CoverageStamp {
public:
    /// Lays the stamp through `p`, first making it, when `key` or the
    /// painter's device transform changed since, by `draw` on a painter
    /// with the same transform; `bounds` (in `p`'s coordinates) holds every
    /// pixel `draw` can touch.
    void lay(QPainter& p, const QString& key, const QRectF& bounds, const std::function<void(QPainter&)>& draw);
    /// Forgets the stamp, so the next lay() makes it again.
    void clear() { m_image = QImage(); }

private:
    QString m_key;
    QTransform m_device;
    QImage m_image;
    /// Where the image's corner is laid, in the painter's coordinates
    /// with its world transform undone.
    QPointF m_at;
};

} // namespace chordmoss

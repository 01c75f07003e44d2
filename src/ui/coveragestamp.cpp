#include "coveragestamp.h"

namespace chordmoss {

void CoverageStamp::lay(QPainter& p, const QString& key, const QRectF& bounds,
                        const std::function<void(QPainter&)>& draw)
{
    const QTransform device = p.deviceTransform();
    if (m_image.isNull() || key != m_key || device != m_device) {
        m_key = key;
        m_device = device;
        // The image covers whole device pixels; the drawing keeps its place
        // within them, shifted by whole pixels only, so each pixel's coverage
        // comes out as it would on the device.
        const QRect box = device.mapRect(bounds).toAlignedRect();
        m_image = QImage(box.size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        m_image.fill(Qt::transparent);
        QPainter ip(&m_image);
        ip.setRenderHint(QPainter::Antialiasing);
        ip.setTransform(device * QTransform::fromTranslate(-box.x(), -box.y()));
        draw(ip);
        ip.end();
        // Laid at the density the painter draws at (that of the device it is
        // redirected to, when a widget is rendered elsewhere), the image is
        // copied pixel for pixel.
        const QTransform base = p.worldTransform().inverted() * device;
        m_image.setDevicePixelRatio(base.m11());
        m_at = base.inverted().map(QPointF(box.topLeft()));
    }
    p.save();
    p.resetTransform();
    p.drawImage(m_at, m_image);
    p.restore();
}

} // namespace chordmoss

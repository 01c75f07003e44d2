#include "coveragestamp.h"

namespace chordmoss {

void CoverageStamp::lay(QPainter& p, const Key& key, const QRectF& bounds, const std::function<void(QPainter&)>& draw)
{
    const QTransform device = p.deviceTransform();
    const QList<Drawing>& drawings = m_drawings;
    qsizetype i = 0;
    while (i < drawings.size() && !(drawings[i].key == key && drawings[i].device == device))
        ++i;
    if (i == m_drawings.size()) {
        // The image covers whole device pixels; the drawing keeps its place
        // within them, shifted by whole pixels only, so each pixel's coverage
        // comes out as it would on the device.
        const QRect box = device.mapRect(bounds).toAlignedRect();
        QImage image(box.size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter ip(&image);
        ip.setRenderHint(QPainter::Antialiasing);
        ip.setTransform(device * QTransform::fromTranslate(-box.x(), -box.y()));
        draw(ip);
        ip.end();
        if (m_drawings.size() >= kKept)
            m_drawings.removeLast();
        m_drawings.prepend({key, device, image, box.topLeft()});
    } else if (i > 0) {
        m_drawings.move(i, 0);
    }
    Drawing& d = m_drawings.front();
    drawOnDevicePixels(p, d.image, d.corner);
}

void drawOnDevicePixels(QPainter& p, QImage& image, const QPointF& corner)
{
    const QTransform world = p.worldTransform();
    const QTransform base = world.inverted() * p.deviceTransform();
    if (image.devicePixelRatio() != base.m11())
        image.setDevicePixelRatio(base.m11());
    // Only the world transform changes for the copy, so only it is put back:
    // saving and restoring the painter's whole state costs more than the
    // copy of a small image.
    p.setWorldTransform(QTransform());
    p.drawImage(base.inverted().map(corner), image);
    p.setWorldTransform(world);
}

} // namespace chordmoss

#include "coveragestamp.h"

#include <algorithm>
#include <iterator>

namespace chordmoss {

CoverageStamp::Drawing& CoverageStamp::find(const QTransform& device, const Key& key, const QRectF& bounds,
                                             const std::function<void(QPainter&)>& draw, bool asRuns)
{
    const QList<Drawing>& drawings = m_drawings;
    qsizetype i = 0;
    while (i < drawings.size()
           && !(drawings[i].key == key && drawings[i].device == device && drawings[i].image.isNull() == asRuns))
        ++i;
    if (i == drawings.size()) {
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
        Drawing made{key, device, {}, box.topLeft(), QRect(box.topLeft(), image.size()), {}, {}};
        if (asRuns) {
            // Row by row, the pixels that are not transparent, in runs of
            // opaque pixels and of translucent ones.
            for (int y = 0; y < image.height(); ++y) {
                const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                for (int x = 0; x < image.width();) {
                    if (row[x] == 0) {
                        ++x;
                        continue;
                    }
                    const bool opaque = qAlpha(row[x]) == 255;
                    int end = x + 1;
                    while (end < image.width() && row[end] != 0 && (qAlpha(row[end]) == 255) == opaque)
                        ++end;
                    made.runs.append({box.y() + y, box.x() + x, end - x, made.pixels.size(), opaque});
                    std::copy(row + x, row + end, std::back_inserter(made.pixels));
                    x = end;
                }
            }
        } else {
            made.image = image;
        }
        m_drawings.prepend(made);
    } else if (i > 0) {
        m_drawings.move(i, 0);
    }
    return m_drawings.front();
}

void CoverageStamp::lay(QPainter& p, const Key& key, const QRectF& bounds, const std::function<void(QPainter&)>& draw)
{
    Drawing& d = find(p.deviceTransform(), key, bounds, draw, false);
    drawOnDevicePixels(p, d.image, d.corner);
}

namespace {

/// `x`'s four channels times `a` over 255, rounded as QPainter rounds them.
inline QRgb byteMul(QRgb x, uint a)
{
    uint t = (x & 0xff00ff) * a;
    t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return x | t;
}

} // namespace

void CoverageStamp::layInto(QImage& target, const QList<QRect>& clips, const QTransform& device, const Key& key,
                            const QRectF& bounds, const std::function<void(QPainter&)>& draw)
{
    const Drawing& d = find(device, key, bounds, draw, true);
    const QRect box = d.box & target.rect();
    if (d.runs.isEmpty() || box.isEmpty())
        return;
    uchar* const bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    const QRgb* const pixels = d.pixels.constData();
    // The runs and the bands of clips both go down the rows: each run meets
    // the clips of the band its row lies in.
    const QRect* band = clips.constData();
    const QRect* const bands = band + clips.size();
    const Run* run = d.runs.constData();
    const Run* const runs = run + d.runs.size();
    while (band != bands && run != runs) {
        const int top = band->top(), bottom = band->bottom();
        if (bottom < run->y || bottom < box.top()) {
            ++band;
            continue;
        }
        if (run->y < top) {
            run = std::lower_bound(run, runs, top, [](const Run& r, int y) { return r.y < y; });
            continue;
        }
        for (const QRect* clip = band; clip != bands && clip->top() == top; ++clip) {
            const int from = std::max(std::max(run->x, clip->left()), box.left());
            const int to = std::min(std::min(run->x + run->count, clip->right() + 1), box.right() + 1);
            if (from >= to)
                continue;
            const QRgb* source = pixels + run->first + (from - run->x);
            auto* dest = reinterpret_cast<QRgb*>(bits + run->y * stride) + from;
            if (run->opaque) {
                std::copy(source, source + (to - from), dest);
                continue;
            }
            // Source over: the premultiplied pixel plus what lies beneath
            // times what it leaves uncovered.
            for (int n = to - from; n > 0; --n, ++source, ++dest)
                *dest = *source + byteMul(*dest, 255 - qAlpha(*source));
        }
        ++run;
    }
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

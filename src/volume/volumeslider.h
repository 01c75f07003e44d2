#pragma once

#include <QImage>
#include <QWidget>

namespace chordmoss {

/// Picture1 of the volume window: a drawing surface in pixels whose drawings
/// persist across repaints, inside a 2-pixel sunken frame. Mouse positions are
/// pixels from the top-left of the inner area; ScaleWidth and ScaleHeight are
/// the inner size, read afresh on every use.
class VolumeSlider : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int ScaleWidth READ scaleWidth)
    Q_PROPERTY(int ScaleHeight READ scaleHeight)
public:
    static constexpr int kFrame = 2;
    explicit VolumeSlider(QWidget* parent);
    int scaleWidth() const { return std::max(0, width() - 2 * kFrame); }
    int scaleHeight() const { return std::max(0, height() - 2 * kFrame); }
    /// The persistent drawing, sized to the inner area.
    QImage& surface();
    void clearSurface();
signals:
    void mouseMove(int buttons, int shift, double x, double y);
    void mouseDown(int button, int shift, double x, double y);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QImage m_surface;
};

} // namespace chordmoss

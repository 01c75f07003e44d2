#pragma once

#include <QImage>
#include <QWidget>

namespace chordmoss {

/// Picture1 of the volume window: a drawing surface in pixels whose drawings
/// persist across repaints, inside a 2-pixel sunken frame. Mouse positions are
/// pixels from the top-left of the inner area; ScaleWidth and ScaleHeight are
/// the inner size, read afresh on every use. The keys that move a slider are
/// passed on to the window; screen readers see a slider with the value the
/// window shows, and may set it.
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
    /// The value the window shows for the bar, and the highest it can show.
    void setShownValue(int value, int maximum);
    int shownValue() const { return m_value; }
    int maximumValue() const { return m_maximum; }
signals:
    void mouseMove(int buttons, int shift, double x, double y);
    void mouseDown(int button, int shift, double x, double y);
    /// An arrow, Page Up, Page Down, Home or End key.
    void keyDown(int keyCode, int shift);
    /// A screen reader asks for this value.
    void valueWanted(int value);

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent*) override { update(); }
    void focusOutEvent(QFocusEvent*) override { update(); }
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QImage m_surface;
    int m_value = 0, m_maximum = 0;
};

} // namespace chordmoss

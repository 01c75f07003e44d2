#include "diagrampng.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <memory>
#include "chorddiagram.h"

namespace chordmoss {

namespace {

QColor colour(const std::string& hex) { return QColor(QString::fromStdString(hex)); }

QtMessageHandler g_previousHandler = nullptr;

/// Painting off screen needs no runtime directory; Qt's note that it made up
/// one would only clutter standard error.
void quietAboutRuntimeDir(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths:")))
        return;
    g_previousHandler(type, context, text);
}

std::unique_ptr<QGuiApplication> offscreenApplication()
{
    if (QCoreApplication::instance())
        return {};
    g_previousHandler = qInstallMessageHandler(quietAboutRuntimeDir);
    static int argc = 1;
    static char name[] = "chordmoss";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

std::string DiagramPng(const ChordDiagram& diagram, int width, int height)
{
    const auto app = offscreenApplication();
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        const double scale = std::min(width / diagram.width(), height / diagram.height());
        p.translate((width - diagram.width() * scale) / 2, (height - diagram.height() * scale) / 2);
        p.scale(scale, scale);
        for (const DiagramShape& d : diagram.shapes()) {
            switch (d.kind) {
            case DiagramShape::Line:
                p.setPen(QPen(colour(d.stroke), d.strokeWidth, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(d.x1, d.y1), QPointF(d.x2, d.y2));
                break;
            case DiagramShape::Circle:
                p.setPen(d.strokeWidth > 0 ? QPen(colour(d.stroke), d.strokeWidth) : QPen(Qt::NoPen));
                p.setBrush(colour(d.fill));
                p.drawEllipse(QPointF(d.x1, d.y1), d.radius, d.radius);
                break;
            case DiagramShape::Text: {
                QFont font;
                font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
                font.setStyleHint(QFont::SansSerif);
                font.setPixelSize(std::max(1, int(d.fontSize + 0.5)));
                font.setBold(d.bold);
                p.setFont(font);
                p.setPen(colour(d.fill));
                constexpr double wide = 400, high = 40;
                const double left = d.anchor < 0 ? d.x1 : d.anchor > 0 ? d.x1 - wide : d.x1 - wide / 2;
                const int align = (d.anchor < 0 ? Qt::AlignLeft : d.anchor > 0 ? Qt::AlignRight : Qt::AlignHCenter)
                                  | Qt::AlignVCenter;
                p.drawText(QRectF(left, d.y1 - high / 2, wide, high), align, QString::fromStdString(d.text));
                break;
            }
            }
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes.toStdString();
}

} // namespace chordmoss

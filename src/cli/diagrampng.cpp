#include "diagrampng.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QLibraryInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

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

} // namespace

std::unique_ptr<QGuiApplication> OffscreenApplication()
{
    if (QCoreApplication::instance())
        return {};
    g_previousHandler = qInstallMessageHandler(quietAboutRuntimeDir);
    static int argc = 1;
    static char name[] = "chordmoss";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // PNG is built into Qt Gui: with no plugin folder but the platforms', the
    // image format plugins (and the libraries they bring) are not loaded.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM_PLUGIN_PATH"))
        qputenv("QT_QPA_PLATFORM_PLUGIN_PATH", QLibraryInfo::path(QLibraryInfo::PluginsPath).toLocal8Bit() + "/platforms");
    QCoreApplication::setLibraryPaths({});
    return std::make_unique<QGuiApplication>(argc, argv);
}

namespace {

/// Draws every shape of the diagram in its own units.
void paintShapes(QPainter& p, const ChordDiagram& diagram)
{
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
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

} // namespace

std::string DiagramPng(const ChordDiagram& diagram, int width, int height)
{
    const auto app = OffscreenApplication();
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        const double scale = std::min(width / diagram.width(), height / diagram.height());
        p.translate((width - diagram.width() * scale) / 2, (height - diagram.height() * scale) / 2);
        p.scale(scale, scale);
        paintShapes(p, diagram);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes.toStdString();
}

std::string DiagramPdf(const ChordDiagram& page, const std::string& paper)
{
    const auto app = OffscreenApplication();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(paper == "letter" ? QPageSize::Letter : QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setCreator(QStringLiteral("chordmoss"));
        writer.setTitle(QStringLiteral("Chord sheet"));
        QPainter p;
        if (!p.begin(&writer))
            return {};
        const double scale = std::min(writer.width() / page.width(), writer.height() / page.height());
        p.scale(scale, scale);
        paintShapes(p, page);
        p.end();
    }
    return bytes.toStdString();
}

} // namespace chordmoss

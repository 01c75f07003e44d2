// Draws the guitar picture (921 x 377 JPEG, and at twice the size for dense
// screens) and the window icons.
//
// Every position comes from the program's own constants: the strings pass
// through the finger-dot rows on the neck and the strum strips beside the
// pickups, the fret wires stand on the fret-zone bounds, the knob inside the
// knob zone. Deterministic: the wood grain uses a fixed seed.
//
//   make_picture <assets dir>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "boardlayout.h"
#include "fretboardzones.h"
#include "notetables.h"
#include "strum.h"

using namespace chordmoss;

namespace {

constexpr double kPx = kTwipsPerPixel;
double px(double pictureTwips) { return pictureTwips / kPx; }
// Window twips to picture pixels.
double wy(double windowY) { return (windowY - kImageTop) / kPx; }

// String rows in picture pixels.
double neckRow(int s) { return wy(stringControls(s).dotTop + kDotSize / 2.0); }
double strumRow(int s) { return px((StrumBands[s].top + StrumBands[s].bottom) / 2); }

// Where the neck and the body meet, and the head's start (picture pixels).
const double kNutX = px(kFretZoneLeft[0]);
const double kHeadX = px(kNeckRight);
const double kNeckEndX = px(6860);
const double kStrumEndX = px(kStrumRight);
const double kTailX = 118;

// A string's y at picture x: straight over the pickups at its strip, straight
// along the neck at its dot row, and bending between.
double stringY(int s, double x)
{
    const double joinStart = kStrumEndX + 8, joinEnd = px(kNeckLeft) - 20;
    if (x <= joinStart)
        return strumRow(s);
    if (x >= joinEnd)
        return neckRow(s);
    const double t = (x - joinStart) / (joinEnd - joinStart);
    return strumRow(s) + (neckRow(s) - strumRow(s)) * t;
}

void woodGrain(QPainter& p, const QPainterPath& clip, const QRectF& area, QColor base, int lines, quint32 seed)
{
    QRandomGenerator rng(seed);
    p.save();
    p.setClipPath(clip);
    for (int i = 0; i < lines; ++i) {
        const double y = area.top() + rng.bounded(area.height());
        QPainterPath grain;
        grain.moveTo(area.left(), y);
        const double amp = 1.0 + rng.bounded(3.0), freq = 0.005 + rng.bounded(0.02), phase = rng.bounded(6.28);
        for (double x = area.left(); x <= area.right(); x += 6)
            grain.lineTo(x, y + amp * std::sin(x * freq + phase) + 0.6 * std::sin(x * 0.07 + phase * 2));
        QColor c = base;
        c.setAlpha(18 + rng.bounded(40));
        p.setPen(QPen(rng.bounded(2) ? c.darker(130) : c.lighter(115), 0.6 + rng.bounded(1.2)));
        p.drawPath(grain);
    }
    p.restore();
}

QPainterPath bodyOutline()
{
    // A hollow body lying with its neck to the right: lower bout left, upper bout right.
    QPainterPath b;
    const double cy = 190;
    b.moveTo(40, cy);
    b.cubicTo(40, 40, 150, 12, 235, 30);
    b.cubicTo(285, 40, 300, 78, 335, 80);
    b.cubicTo(370, 80, 395, 42, 440, 42);
    b.cubicTo(505, 42, 530, 110, 530, cy);
    b.cubicTo(530, 270, 505, 338, 440, 338);
    b.cubicTo(395, 338, 370, 300, 335, 300);
    b.cubicTo(300, 302, 285, 340, 235, 350);
    b.cubicTo(150, 368, 40, 340, 40, cy);
    b.closeSubpath();
    return b;
}

void drawBody(QPainter& p)
{
    const QPainterPath body = bodyOutline();
    // Soft shadow on the background.
    p.save();
    p.translate(6, 8);
    p.fillPath(body, QColor(0, 0, 0, 40));
    p.restore();
    // Sunburst: dark edge to an amber centre.
    QRadialGradient burst(QPointF(250, 185), 300, QPointF(230, 175));
    burst.setColorAt(0.0, QColor(236, 170, 70));
    burst.setColorAt(0.45, QColor(205, 120, 40));
    burst.setColorAt(0.75, QColor(130, 55, 20));
    burst.setColorAt(1.0, QColor(45, 18, 8));
    p.fillPath(body, burst);
    woodGrain(p, body, QRectF(30, 10, 520, 370), QColor(120, 60, 20), 220, 7);
    // Highlight of the arched top.
    QRadialGradient shine(QPointF(210, 120), 140);
    shine.setColorAt(0.0, QColor(255, 255, 255, 70));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(body, shine);
    // Binding.
    p.setPen(QPen(QColor(245, 238, 215), 3.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
    p.setPen(QPen(QColor(40, 20, 10), 1.0));
    p.drawPath(body);

    // f-holes, one on each side of the strings.
    auto fHole = [&](double x, double y, double dir) {
        QPainterPath f;
        f.moveTo(x - 55, y + dir * 8);
        f.cubicTo(x - 25, y - dir * 12, x + 25, y + dir * 22, x + 55, y - dir * 2);
        p.setPen(QPen(QColor(20, 8, 4), 5.0, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(f);
        p.setBrush(QColor(20, 8, 4));
        p.drawEllipse(QPointF(x - 55, y + dir * 8), 5, 5);
        p.drawEllipse(QPointF(x + 55, y - dir * 2), 5, 5);
        p.setPen(QPen(QColor(250, 230, 190, 90), 1.0));
        p.drawPath(f.translated(0, 3));
    };
    fHole(300, 95, 1);
    fHole(300, 290, -1);
}

void drawPickup(QPainter& p, double x)
{
    const double top = strumRow(1) - 16, bottom = strumRow(6) + 16;
    const QRectF ring(x - 17, top - 5, 34, bottom - top + 10);
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(QColor(235, 225, 200));
    p.drawRoundedRect(ring, 4, 4);
    QLinearGradient chrome(x - 13, 0, x + 13, 0);
    chrome.setColorAt(0.0, QColor(120, 120, 125));
    chrome.setColorAt(0.3, QColor(245, 245, 250));
    chrome.setColorAt(0.6, QColor(160, 160, 168));
    chrome.setColorAt(1.0, QColor(90, 90, 95));
    p.setBrush(chrome);
    p.drawRoundedRect(QRectF(x - 13, top, 26, bottom - top), 3, 3);
    for (int s = 1; s <= 6; ++s) {
        p.setBrush(QColor(70, 70, 75));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(x - 6, strumRow(s)), 1.8, 1.8);
        p.drawEllipse(QPointF(x + 6, strumRow(s)), 1.8, 1.8);
    }
}

void drawHardware(QPainter& p)
{
    // Trapeze tailpiece and the bridge.
    QLinearGradient gold(0, strumRow(1) - 30, 0, strumRow(6) + 30);
    gold.setColorAt(0, QColor(250, 225, 140));
    gold.setColorAt(0.5, QColor(190, 150, 60));
    gold.setColorAt(1, QColor(120, 90, 30));
    QPainterPath tail;
    tail.moveTo(48, 178);
    tail.lineTo(kTailX + 14, strumRow(1) - 12);
    tail.lineTo(kTailX + 14, strumRow(6) + 12);
    tail.lineTo(48, 202);
    tail.closeSubpath();
    p.setPen(QPen(QColor(90, 70, 20), 1));
    p.setBrush(gold);
    p.drawPath(tail);
    p.drawRoundedRect(QRectF(kTailX, strumRow(1) - 14, 14, strumRow(6) - strumRow(1) + 28), 3, 3);
    p.setBrush(QColor(60, 40, 25));
    p.drawRoundedRect(QRectF(188, strumRow(1) - 13, 9, strumRow(6) - strumRow(1) + 26), 2, 2);
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(190, strumRow(1) - 10, 5, strumRow(6) - strumRow(1) + 20));

    drawPickup(p, 243);
    drawPickup(p, 335);

    // The volume knob, inside the knob zone: the only knob, so a player
    // looking for the volume finds it.
    auto knob = [&](QPointF c, double r) {
        QRadialGradient g(c - QPointF(r / 3, r / 3), r * 1.4);
        g.setColorAt(0, QColor(255, 236, 150));
        g.setColorAt(0.5, QColor(222, 170, 40));
        g.setColorAt(1, QColor(120, 80, 10));
        p.setPen(QPen(QColor(70, 45, 5), 1));
        p.setBrush(g);
        p.drawEllipse(c, r, r);
        p.setPen(QPen(QColor(90, 60, 10), 0.8));
        p.drawLine(c, c + QPointF(0, -r + 1));
    };
    knob(QPointF(px((kKnobLeft + kKnobRight) / 2), px((kKnobTop + kKnobBottom) / 2)), 8);
    // A tortoiseshell pickguard floating below the strings, with its shadow.
    QPainterPath guard;
    guard.moveTo(372, 224);
    guard.cubicTo(430, 226, 492, 250, 500, 292);
    guard.cubicTo(504, 318, 470, 322, 455, 304);
    guard.cubicTo(430, 274, 400, 252, 372, 246);
    guard.closeSubpath();
    p.fillPath(guard.translated(4, 6), QColor(0, 0, 0, 60));
    QLinearGradient shell(372, 224, 500, 320);
    shell.setColorAt(0, QColor(70, 35, 18));
    shell.setColorAt(1, QColor(28, 14, 8));
    p.fillPath(guard, shell);
    QRandomGenerator rng(23);
    p.save();
    p.setClipPath(guard);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 90; ++i) {
        p.setBrush(QColor(150 + rng.bounded(60), 70 + rng.bounded(40), 20, 40 + rng.bounded(60)));
        p.drawEllipse(QPointF(372 + rng.bounded(130.0), 224 + rng.bounded(100.0)), 1 + rng.bounded(5.0),
                      1 + rng.bounded(3.0));
    }
    p.restore();
    p.setPen(QPen(QColor(235, 225, 200), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(guard);
}

// What a photograph adds: soft light from the upper left, a darker edge
// where the arched top turns down, and fine grain over everything.
void drawPhotographicFinish(QPainter& p, QImage& img, int scale)
{
    const QPainterPath body = bodyOutline();
    p.save();
    p.setClipPath(body);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 8; ++i) {
        p.setPen(QPen(QColor(20, 8, 2, 16), 3 + 3 * i));
        p.drawPath(body);
    }
    p.restore();
    // The neck joins the body with a heel that casts a soft shadow.
    QLinearGradient heel(kNeckEndX - 30, 0, kNeckEndX + 10, 0);
    heel.setColorAt(0, QColor(0, 0, 0, 0));
    heel.setColorAt(1, QColor(0, 0, 0, 70));
    p.fillRect(QRectF(kNeckEndX - 30, px(kNeckTop) + 2, 40, px(kNeckBottom) - px(kNeckTop) - 4), heel);
    p.end();

    QRandomGenerator rng(31);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int n = int(rng.bounded(7)) - 3;
            const double dx = (double(x) / scale - 300.0) / kImageWidthPx;
            const double dy = (double(y) / scale - 120.0) / kImageHeightPx;
            const double light = 1.0 - 0.10 * (dx * dx + dy * dy);
            const QRgb c = line[x];
            auto ch = [&](int v) { return std::clamp(int(v * light) + n, 0, 255); };
            line[x] = qRgb(ch(qRed(c)), ch(qGreen(c)), ch(qBlue(c)));
        }
    }
}

void drawNeck(QPainter& p)
{
    const double top = px(kNeckTop) + 2, bottom = px(kNeckBottom) - 2;
    // Neck wood under the fretboard, then the rosewood board.
    QRectF board(kNeckEndX, top, kNutX - kNeckEndX, bottom - top);
    p.fillRect(board.adjusted(0, 3, 0, 3), QColor(0, 0, 0, 50));
    QLinearGradient rose(0, top, 0, bottom);
    rose.setColorAt(0, QColor(92, 52, 32));
    rose.setColorAt(0.5, QColor(62, 34, 22));
    rose.setColorAt(1, QColor(40, 22, 14));
    QPainterPath boardPath;
    boardPath.addRect(board);
    p.fillPath(boardPath, rose);
    woodGrain(p, boardPath, board, QColor(120, 70, 40), 60, 11);
    // Binding along both edges.
    p.setPen(QPen(QColor(240, 232, 210), 1.6));
    p.drawLine(QPointF(kNeckEndX, top), QPointF(kNutX, top));
    p.drawLine(QPointF(kNeckEndX, bottom), QPointF(kNutX, bottom));

    // Inlays at frets 3, 5, 7, 9 and 12 (between their wires).
    std::array<double, 15> wire{};
    for (int i = 0; i < 13; ++i)
        wire[i] = px(kFretZoneLeft[i]);
    wire[13] = px(7060);
    wire[14] = px(6885);
    const double mid = (neckRow(1) + neckRow(6)) / 2;
    auto inlay = [&](int fret, double y) {
        const double x = (wire[fret - 1] + wire[fret]) / 2;
        QRadialGradient pearl(QPointF(x - 1, y - 1), 5);
        pearl.setColorAt(0, QColor(255, 255, 250));
        pearl.setColorAt(1, QColor(200, 205, 200));
        p.setPen(Qt::NoPen);
        p.setBrush(pearl);
        p.drawRoundedRect(QRectF(x - 5, y - 4, 10, 8), 2, 2);
    };
    for (int fret : {3, 5, 7, 9})
        inlay(fret, mid);
    inlay(12, (neckRow(1) + mid) / 2);
    inlay(12, (neckRow(6) + mid) / 2);

    // Fret wires on the zone bounds; the first bound is the nut.
    for (int i = 1; i < 15; ++i) {
        QLinearGradient nickel(wire[i] - 1.5, 0, wire[i] + 1.5, 0);
        nickel.setColorAt(0, QColor(150, 150, 150));
        nickel.setColorAt(0.5, QColor(255, 255, 255));
        nickel.setColorAt(1, QColor(120, 120, 120));
        p.fillRect(QRectF(wire[i] - 1.5, top, 3.0, bottom - top), nickel);
    }
    p.fillRect(QRectF(kNutX - 2, top - 1, 5, bottom - top + 2), QColor(238, 232, 212));
    p.fillRect(QRectF(kNutX + 2.5, top - 1, 1, bottom - top + 2), QColor(160, 150, 130));

    // Headstock beyond the nut, with six tuners.
    QPainterPath head;
    head.moveTo(kNutX + 3, top - 2);
    head.lineTo(kHeadX - 10, top - 10);
    head.cubicTo(830, top - 40, 880, top - 46, 912, top - 30);
    head.cubicTo(918, mid, 918, mid, 912, bottom + 30);
    head.cubicTo(880, bottom + 46, 830, bottom + 40, kHeadX - 10, bottom + 10);
    head.lineTo(kNutX + 3, bottom + 2);
    head.closeSubpath();
    p.fillPath(head.translated(3, 4), QColor(0, 0, 0, 45));
    QLinearGradient ebony(0, top - 46, 0, bottom + 46);
    ebony.setColorAt(0, QColor(70, 45, 32));
    ebony.setColorAt(0.5, QColor(28, 17, 11));
    ebony.setColorAt(1, QColor(12, 7, 5));
    p.fillPath(head, QBrush(ebony));
    p.setPen(QPen(QColor(235, 225, 200), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(head);
    for (int i = 0; i < 3; ++i) {
        for (int side = 0; side < 2; ++side) {
            const double x = 812 + i * 34;
            const double y = side == 0 ? top - 14 - i * 3 : bottom + 14 + i * 3;
            const double buttonY = side == 0 ? y - 24 : y + 24;
            QLinearGradient chrome(x - 6, 0, x + 6, 0);
            chrome.setColorAt(0, QColor(120, 120, 125));
            chrome.setColorAt(0.5, QColor(250, 250, 252));
            chrome.setColorAt(1, QColor(110, 110, 115));
            p.setPen(QPen(QColor(60, 60, 60), 0.8));
            p.setBrush(chrome);
            p.drawRect(QRectF(x - 2, std::min(y, buttonY), 4, std::abs(buttonY - y)));
            p.drawEllipse(QPointF(x, buttonY), 7, 5);
            p.drawEllipse(QPointF(x, y), 3.5, 3.5);
        }
    }
}

void drawStrings(QPainter& p)
{
    const double top = px(kNeckTop) + 2, bottom = px(kNeckBottom) - 2;
    for (int s = 1; s <= 6; ++s) {
        // Wound strings are thicker and duller.
        const double width = 2.2 - 0.28 * (s - 1);
        QPainterPath path;
        path.moveTo(kTailX + 7, strumRow(s));
        for (double x = kTailX + 8; x <= kNutX; x += 2)
            path.lineTo(x, stringY(s, x));
        // On the head each string runs to its tuner post.
        const int i = s <= 3 ? 3 - s : s - 4;
        const double postX = 812 + i * 34;
        const double postY = s <= 3 ? top - 14 - i * 3 : bottom + 14 + i * 3;
        path.lineTo(kNutX + 6, neckRow(s));
        path.lineTo(postX, postY);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 0, 0, 70), width + 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(path.translated(0.8, 1.5));
        p.setPen(QPen(s <= 3 ? QColor(196, 170, 120) : QColor(222, 222, 226), width, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(path);
        p.setPen(QPen(QColor(255, 255, 255, 140), 0.6));
        p.drawPath(path.translated(0, -0.4));
    }
}

/// The picture at `scale` device pixels to the picture's pixel.
QImage drawGuitar(int scale)
{
    QImage img(kImageWidthPx * scale, kImageHeightPx * scale, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    QLinearGradient back(0, 0, 0, kImageHeightPx);
    back.setColorAt(0, QColor(250, 246, 238));
    back.setColorAt(1, QColor(232, 226, 214));
    p.fillRect(img.rect(), back);
    drawBody(p);
    drawNeck(p);
    drawHardware(p);
    drawStrings(p);
    drawPhotographicFinish(p, img, scale);
    return img;
}

// A chord diagram on an ebony tile, laid out on a 16-unit grid so that the
// 16 and 32 pixel icons are crisp: six strings, nut, two frets, three dots.
QImage drawIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    const double u = size / 16.0;
    p.setRenderHint(QPainter::Antialiasing, size >= 48);
    auto box = [&](double x, double y, double w, double h, QColor c) { p.fillRect(QRectF(x * u, y * u, w * u, h * u), c); };
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(52, 30, 20));
    if (size >= 48)
        p.drawRoundedRect(QRectF(0.5 * u, 0.5 * u, 15 * u, 15 * u), 2.5 * u, 2.5 * u);
    else
        box(0, 0, 16, 16, QColor(52, 30, 20));
    const bool fine = size >= 48;
    const double stringWidth = fine ? 0.45 : 1.0;
    box(2.5, 2, 11, 2, QColor(245, 236, 210)); // nut
    for (int f : {7, 11})
        box(2.5, f, 11, fine ? 0.6 : 1.0, QColor(175, 175, 180)); // frets
    for (int s = 0; s < 6; ++s)
        box(3.5 + 2 * s - stringWidth / 2, 2, stringWidth, 13, QColor(230, 230, 232)); // strings
    // A C major shape: A string at the third fret, D at the second, B at the first.
    p.setBrush(QColor(255, 140, 20));
    for (auto [s, y] : {std::pair{1, 13.5}, std::pair{2, 9.5}, std::pair{4, 5.5}}) {
        const double cx = 3.5 + 2 * s;
        if (fine)
            p.drawEllipse(QPointF(cx * u, y * u), 1.3 * u, 1.3 * u);
        else
            box(cx - 1.5, y - 1.5, 3, 3, QColor(255, 140, 20));
    }
    return img;
}

/// The same diagram as a scalable icon for desktop menus.
QByteArray iconSvg()
{
    QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 16 16\">\n"
                     "  <rect x=\"0.5\" y=\"0.5\" width=\"15\" height=\"15\" rx=\"2.5\" fill=\"#341e14\"/>\n"
                     "  <rect x=\"2.5\" y=\"2\" width=\"11\" height=\"2\" fill=\"#f5ecd2\"/>\n";
    for (int f : {7, 11})
        svg += QStringLiteral("  <rect x=\"2.5\" y=\"%1\" width=\"11\" height=\"0.6\" fill=\"#afafb4\"/>\n").arg(f).toUtf8();
    for (int s = 0; s < 6; ++s)
        svg += QStringLiteral("  <rect x=\"%1\" y=\"2\" width=\"0.45\" height=\"13\" fill=\"#e6e6e8\"/>\n")
                   .arg(3.5 + 2 * s - 0.225)
                   .toUtf8();
    for (auto [s, y] : {std::pair{1, 13.5}, std::pair{2, 9.5}, std::pair{4, 5.5}})
        svg += QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"1.3\" fill=\"#ff8c14\"/>\n").arg(3.5 + 2 * s).arg(y).toUtf8();
    return svg + "</svg>\n";
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_picture <assets dir>\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!drawGuitar(1).save(dir + QStringLiteral("/guitar.jpg"), "JPEG", 92)
        || !drawGuitar(2).save(dir + QStringLiteral("/guitar@2x.jpg"), "JPEG", 92))
        return 1;
    for (int size : {16, 32, 48, 256}) {
        if (!drawIcon(size).save(dir + QStringLiteral("/icon-%1.png").arg(size)))
            return 1;
    }
    QFile svg(dir + QStringLiteral("/icon.svg"));
    if (!svg.open(QIODevice::WriteOnly) || svg.write(iconSvg()) < 0)
        return 1;
    return 0;
}

// The committed guitar picture against the program's geometry: strings on
// the dot rows and in the strum strips, fret wires on the zone bounds, the
// knob in the knob zone. Positions come from the program's own constants.
#include <QtTest>

#include <QImage>

#include "boardlayout.h"
#include "fretboardzones.h"
#include "strum.h"

using namespace chordmoss;

namespace {

double px(double pictureTwips) { return pictureTwips / kTwipsPerPixel; }
double neckRow(int s) { return (stringControls(s).dotTop + kDotSize / 2.0 - kImageTop) / kTwipsPerPixel; }
double strumRow(int s) { return px((StrumBands[s].top + StrumBands[s].bottom) / 2); }

int lightness(const QImage& img, int x, int y) { return img.pixelColor(x, y).lightness(); }

/// The brightest lightness within one pixel of (x, y) along `dx, dy`.
int brightest(const QImage& img, double x, double y, int dx, int dy)
{
    int best = 0;
    for (int d = -1; d <= 1; ++d)
        best = std::max(best, lightness(img, int(std::lround(x)) + d * dx, int(std::lround(y)) + d * dy));
    return best;
}

} // namespace

class TestPicture : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void stringsOnTheNeck();
    void stringsBesideThePickups();
    void fretWiresOnTheZoneBounds();
    void knobInTheKnobZone();
    void icons();

private:
    QImage m_img;
};

void TestPicture::initTestCase()
{
    QVERIFY(m_img.load(QStringLiteral(CHORDMOSS_ASSETS_DIR "/guitar.jpg")));
    QCOMPARE(m_img.size(), QSize(kImageWidthPx, kImageHeightPx));
}

void TestPicture::stringsOnTheNeck()
{
    // Mid-way between wires on frets 1 to 11, each string row is bright and
    // the board half-way between two rows is dark.
    for (int fret = 1; fret <= 11; fret += 2) {
        const double x = px((kFretZoneLeft[fret - 1] + kFretZoneLeft[fret]) / 2) + 3;
        for (int s = 1; s <= 6; ++s) {
            QVERIFY2(brightest(m_img, x, neckRow(s), 0, 1) > 130,
                     qPrintable(QStringLiteral("string %1 at fret %2").arg(s).arg(fret)));
        }
        QVERIFY(lightness(m_img, int(x), int((neckRow(5) + neckRow(6)) / 2)) < 90);
    }
}

void TestPicture::stringsBesideThePickups()
{
    // Between the two pickups, on the body: grey-white string in each strip,
    // saturated wood between strips.
    for (double xTwips : {4350.0, 4400.0}) {
        const int x = int(px(xTwips));
        for (int s = 1; s <= 6; ++s) {
            const int y = int(std::lround(strumRow(s)));
            QColor c = m_img.pixelColor(x, y);
            QVERIFY2(c.lightness() > 150 && c.hslSaturation() < 140,
                     qPrintable(QStringLiteral("string %1: %2").arg(s).arg(c.name())));
            if (s < 6) {
                const QColor between = m_img.pixelColor(x, int((strumRow(s) + strumRow(s + 1)) / 2));
                QVERIFY(between.hslSaturation() > 140);
            }
        }
    }
}

void TestPicture::fretWiresOnTheZoneBounds()
{
    const double y = (neckRow(5) + neckRow(6)) / 2;
    // A bright wire on each bound, dark board half-way to the next one.
    for (int i = 0; i < 13; ++i) {
        const double x = px(kFretZoneLeft[i]);
        QVERIFY2(brightest(m_img, x, y, 1, 0) > 120, qPrintable(QStringLiteral("wire at %1").arg(kFretZoneLeft[i])));
        if (i > 0)
            QVERIFY(lightness(m_img, int((x + px(kFretZoneLeft[i - 1])) / 2), int(y)) < 60);
    }
    // The neck zone's ends: board at its left end, beyond the nut at its right.
    QVERIFY(lightness(m_img, int(px(kNeckLeft)) - 2, int(y)) < 110);
}

void TestPicture::knobInTheKnobZone()
{
    int gold = 0, total = 0;
    for (int x = int(px(kKnobLeft)) + 1; x < px(kKnobRight); ++x) {
        for (int y = int(px(kKnobTop)) + 1; y < px(kKnobBottom); ++y) {
            const QColor c = m_img.pixelColor(x, y);
            ++total;
            gold += c.red() > 130 && c.red() > c.green() && c.green() > c.blue() + 30;
        }
    }
    QVERIFY2(gold * 10 >= total * 8, qPrintable(QStringLiteral("%1 of %2").arg(gold).arg(total)));
}

void TestPicture::icons()
{
    for (int size : {16, 32, 48, 256}) {
        QImage icon(QStringLiteral(CHORDMOSS_ASSETS_DIR "/icon-%1.png").arg(size));
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
    }
}

QTEST_GUILESS_MAIN(TestPicture)
#include "test_picture.moc"

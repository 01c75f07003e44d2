// The committed guitar pictures, plain and twice the size, against the
// program's geometry: strings on the dot rows and in the strum strips, fret
// wires on the zone bounds, the knob in the knob zone.
#include <QtTest>

#include "boardlayout.h"
#include "fretboardzones.h"
#include "strum.h"

using namespace chordmoss;

namespace {
double px(double pictureTwips) { return pictureTwips / kTwipsPerPixel; }
double neckRow(int s) { return (stringControls(s).dotTop + kDotSize / 2.0 - kImageTop) / kTwipsPerPixel; }
double strumRow(int s) { return px((StrumBands[s].top + StrumBands[s].bottom) / 2); }
} // namespace

class TestPicture : public QObject {
    Q_OBJECT
    QImage m_img;
    int m_k = 1; // device pixels to the picture's pixel
    QColor at(double x, double y) const { return m_img.pixelColor(int(std::lround(x * m_k)), int(std::lround(y * m_k))); }
    int light(double x, double y) const { return at(x, y).lightness(); }
    /// Whether a pixel within one picture pixel of (x, y) along (dx, dy) is
    /// at least `lightness` light and at most `saturation` saturated.
    bool near(double x, double y, int dx, int dy, int lightness, int saturation = 255) const
    {
        for (int d = -m_k; d <= m_k; ++d) {
            const QColor c = at(x + double(d) / m_k * dx, y + double(d) / m_k * dy);
            if (c.lightness() > lightness && c.hslSaturation() < saturation)
                return true;
        }
        return false;
    }

private slots:
    void geometry_data() { QTest::addColumn<int>("scale"), QTest::newRow("plain") << 1, QTest::newRow("2x") << 2; }
    void geometry()
    {
        QFETCH(int, scale);
        m_k = scale;
        QVERIFY(m_img.load(QStringLiteral(CHORDMOSS_ASSETS_DIR "/guitar%1.jpg").arg(QLatin1String(scale > 1 ? "@2x" : ""))));
        QCOMPARE(m_img.size(), QSize(kImageWidthPx, kImageHeightPx) * scale);
        // Between the wires of frets 1 to 11 each string row is bright, the
        // board half-way between two rows dark.
        for (int fret = 1; fret <= 11; fret += 2) {
            const double x = px((kFretZoneLeft[fret - 1] + kFretZoneLeft[fret]) / 2) + 3;
            for (int s = 1; s <= 6; ++s)
                QVERIFY2(near(x, neckRow(s), 0, 1, 130), qPrintable(QStringLiteral("%1 %2").arg(s).arg(fret)));
            QVERIFY(light(x, (neckRow(5) + neckRow(6)) / 2) < 90);
        }
        // Between the pickups: bright strings in their strips, wood between.
        for (double x : {px(4350), px(4400)})
            for (int s = 1; s <= 6; ++s)
                QVERIFY(near(x, strumRow(s), 0, 1, 150, 140)
                        && (s == 6 || at(x, (strumRow(s) + strumRow(s + 1)) / 2).hslSaturation() > 140));
        // A bright wire on each zone bound, dark board half-way to the next.
        const double y = (neckRow(5) + neckRow(6)) / 2;
        for (int i = 0; i < 13; ++i) {
            QVERIFY(near(px(kFretZoneLeft[i]), y, 1, 0, 120));
            QVERIFY(i == 0 || light((px(kFretZoneLeft[i]) + px(kFretZoneLeft[i - 1])) / 2, y) < 60);
        }
        QVERIFY(light(px(kNeckLeft) - 2, y) < 110);
        // The knob fills its zone with gold.
        int gold = 0, total = 0;
        for (double x = px(kKnobLeft) + 1; x < px(kKnobRight); x += 1.0 / scale)
            for (double ky = px(kKnobTop) + 1; ky < px(kKnobBottom); ky += 1.0 / scale, ++total)
                gold += at(x, ky).red() > 130 && at(x, ky).red() > at(x, ky).green()
                    && at(x, ky).green() > at(x, ky).blue() + 30;
        QVERIFY(gold * 10 >= total * 8);
    }
};

QTEST_GUILESS_MAIN(TestPicture)
#include "test_picture.moc"

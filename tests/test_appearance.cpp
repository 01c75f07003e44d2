// How both windows look on any desktop. CTest runs this at device pixel
// ratios 1, 1.5 and 2, and once with no system fonts at a 120 DPI setting.
#include <QtTest>

#include <QBackingStore>
#include <QFontDatabase>

#include "Form1.h"
#include "Form2.h"
#include "boardlayout.h"
#include "controls.h"
#include "notetables.h"
#include "volumeslider.h"

using namespace chordmoss;

namespace {

double contrast(QColor a, QColor b)
{
    auto lum = [](QColor c) {
        auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF()) + 0.05;
    };
    return std::max(lum(a), lum(b)) / std::min(lum(a), lum(b));
}

/// The contrast of the strongest mark in `area` against its commonest colour.
double markContrast(const QImage& img, QRect area)
{
    QHash<QRgb, int> count;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++count[img.pixel(x, y)];
    const QRgb ground = std::max_element(count.keyValueBegin(), count.keyValueEnd(),
                                         [](auto a, auto b) { return a.second < b.second; })->first;
    double best = 1;
    for (QRgb c : count.keys())
        best = std::max(best, contrast(QColor(c), QColor(ground)));
    return best;
}

/// The window as the screen shows it: the backing store's copy.
QImage onScreen(QWidget* window)
{
    const auto* stored = dynamic_cast<QImage*>(window->backingStore()->paintDevice());
    return stored ? stored->convertToFormat(QImage::Format_RGB32) : QImage();
}

/// The largest difference of a pixel between `a` and `b` (its three channels
/// summed); 765 when their sizes differ.
int worstDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 765;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            worst = std::max(worst, std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                                        + std::abs(qBlue(p) - qBlue(q)));
        }
    return worst;
}

/// The window's controls on show, the volume window's included once it is open.
QList<QWidget*> controls(QWidget* window)
{
    QList<QWidget*> found;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (auto* label = qobject_cast<LabelControl*>(w); w->isVisible() && (!label || label->shows())
            && (w->property("Left").isValid() || qobject_cast<VolumeSlider*>(w)))
            found << w;
    return found;
}

} // namespace

class TestAppearance : public QObject {
    Q_OBJECT
    Form1* m_form = nullptr;
    double m_r = 1; // device pixels to the pixel

private slots:
    void init()
    {
        m_form = new Form1;
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
        m_form->Image1_MouseDown(1, 0, 5700, 4200); // the knob opens the volume window
        QVERIFY(QTest::qWaitForWindowExposed(m_form->volumeWindow()));
        m_form->syncDisplay();
        m_r = m_form->devicePixelRatioF();
    }
    void cleanup() { delete m_form; }

    void textAndMarksReadableUnderAnyPalette()
    {
        const QColor grey(53, 53, 53), white(Qt::white);
        for (const QPalette& theme : {QPalette(white, grey, grey.lighter(), Qt::black, grey, white, white, grey, grey),
                                      QApplication::style()->standardPalette()}) {
            cleanup();
            QApplication::setPalette(theme);
            init();
            for (QLineEdit* box : m_form->findChildren<QLineEdit*>())
                box->setText(QStringLiteral("Bb"));
            const QImage main = m_form->grab().toImage(), volume = m_form->volumeWindow()->grab().toImage();
            const QList<QWidget*> all = controls(m_form);
            QVERIFY(all.size() >= 40);
            for (QWidget* w : all) {
                if (qobject_cast<PictureControl*>(w))
                    continue;
                const QImage& img = w->window() == m_form ? main : volume;
                const QRect box(w->mapTo(w->window(), QPoint(2, 2)) * m_r, (w->size() - QSize(4, 4)) * m_r);
                QVERIFY2(markContrast(img, box) >= 4.5, qPrintable(w->objectName()));
                if (qobject_cast<QComboBox*>(w)) // the arrow on its own
                    QVERIFY(markContrast(img, box.adjusted(box.width() - int(14 * m_r), 0, 0, 0)) >= 4.5);
            }
        }
    }

    void everyControlInTheBuiltInFaceNamedAndFitting()
    {
        if (qEnvironmentVariableIsSet("FONTCONFIG_FILE")) // the built-in face and Qt's three generic names
            QVERIFY(QFontDatabase::families().size() <= 4);
        int captioned = 0;
        for (QWidget* w : controls(m_form)) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            QVERIFY2(!a->text(QAccessible::Name).trimmed().isEmpty() && a->role() != QAccessible::Client,
                     qPrintable(w->objectName()));
            const QString text = w->property("Caption").toString();
            if (text.isEmpty() || qobject_cast<FretNumberLabel*>(w))
                continue;
            QCOMPARE(QFontInfo(w->font()).family(), QStringLiteral("Liberation Sans"));
            QVERIFY(QList<int>({11, 13, 18}).contains(QFontInfo(w->font()).pixelSize()));
            int room = w->width() - (qobject_cast<QPushButton*>(w) ? 6 : 0);
            if (qobject_cast<QCheckBox*>(w))
                room -= w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w)
                    + w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
            QVERIFY2(w->fontMetrics().horizontalAdvance(text) <= room, qPrintable(w->objectName()));
            ++captioned;
        }
        QVERIFY(captioned >= 25);
    }

    void sharpPictureWithTheDotsOnItsStrings()
    {
        const QImage shot = m_form->grab().toImage();
        const QPoint origin = m_form->findChild<PictureControl*>()->mapTo(m_form, QPoint(0, 0)) * m_r;
        // The guitar's body, where nothing lies over the picture, against the
        // picture resampled from the twice-size file and from the plain one.
        auto difference = [&](const char* file, Qt::TransformationMode mode) {
            const QImage ref = QImage(QStringLiteral(CHORDMOSS_ASSETS_DIR "/") + QLatin1String(file))
                                   .scaled(QSize(qRound(921 * m_r), qRound(377 * m_r)), Qt::IgnoreAspectRatio, mode);
            double sum = 0;
            for (int y = int(10 * m_r); y < 300 * m_r; ++y)
                for (int x = int(20 * m_r); x < 290 * m_r; ++x)
                    sum += std::abs(qGray(shot.pixel(origin + QPoint(x, y))) - qGray(ref.pixel(x, y)));
            return sum / (290 * 270 * m_r * m_r);
        };
        QVERIFY(difference(m_r > 1 ? "guitar@2x.jpg" : "guitar.jpg", Qt::SmoothTransformation) < 1.0);
        QVERIFY(difference(m_r > 1 ? "guitar.jpg" : "guitar@2x.jpg", Qt::FastTransformation) > 2.0);
        // Each dot's white centre on its fret column and string row.
        int dots = 0;
        for (int s = 1; s <= 6; ++s) {
            if (!m_form->board().string(s).dotVisible)
                continue;
            ++dots;
            const QPointF centre = QPointF(m_form->board().string(s).dotLeft, stringControls(s).dotTop)
                    / kTwips * m_r + QPointF(kDotSize, kDotSize) / 2 / kTwips * m_r
                + m_form->centralWidget()->mapTo(m_form, QPoint(0, 0)) * m_r;
            QPointF sum;
            int n = 0;
            for (int y = int(centre.y() - 6 * m_r); y <= centre.y() + 6 * m_r; ++y)
                for (int x = int(centre.x() - 6 * m_r); x <= centre.x() + 6 * m_r; ++x)
                    if (qGray(shot.pixel(x, y)) >= 250)
                        sum += QPointF(x + 0.5, y + 0.5), ++n;
            QVERIFY(n > 0 && (sum / n - centre).manhattanLength() <= 0.75 * m_r);
        }
        QCOMPARE(dots, 5); // C major at the nut
        // Each sounding string's leader line, orange, on its way from its
        // label to its dot (a third, half and two thirds of the way; text
        // may lie over one of them).
        const QPoint client = m_form->centralWidget()->mapTo(m_form, QPoint(0, 0));
        for (int s = 1; s <= 6; ++s) {
            if (!m_form->board().string(s).lineVisible)
                continue;
            const StringControls& c = stringControls(s);
            const QPointF from = QPointF(c.lineX1, c.lineY1) / kTwips + client,
                          to = QPointF(m_form->board().string(s).lineX2, c.lineY2) / kTwips + client;
            int orange = 0;
            for (double t : {1 / 3.0, 0.5, 2 / 3.0}) {
                int reddest = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const QColor px = shot.pixelColor(((from + (to - from) * t + QPointF(dx, dy)) * m_r).toPoint());
                        reddest = std::max(reddest, px.red() - px.blue());
                    }
                orange += reddest > 150;
            }
            QVERIFY2(orange >= 2, qPrintable(QString::number(s)));
        }
    }

    void partialRepaintsLeaveNothingBehind()
    {
        // Chords that move, show and hide dots, lines and labels, each one
        // repainted only where it changed; then what is on screen is what a
        // whole repaint shows, but for the few levels by which antialiased
        // edges painted through a clip may round otherwise. A mark left
        // behind differs by hundreds. Each chord is painted by one pass of
        // the posted events, controls it shows included.
        for (const char* type : {"7th ", "Dim7 ", "none", "Maj ", "Min "}) {
            showType(QString::fromLatin1(type));
        }
        const QImage screen = onScreen(m_form);
        QVERIFY(worstDifference(screen, m_form->grab().toImage()) <= 64);
        // The picture and its marks are painted from a layer kept between
        // repaints: a new window showing the same chord when it first
        // paints composes it whole.
        Form1 fresh;
        showType(QStringLiteral("Min "), &fresh);
        fresh.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fresh));
        fresh.syncDisplay();
        const QRect picture(m_form->findChild<PictureControl*>()->mapTo(m_form, QPoint()) * m_r,
                            m_form->findChild<PictureControl*>()->size() * m_r);
        QVERIFY(worstDifference(screen.copy(picture), onScreen(&fresh).copy(picture)) <= 64);

        // A hidden label shows nothing of the text or background it had.
        showType(QStringLiteral("none"));
        int hidden = 0;
        for (LabelControl* label : m_form->findChildren<LabelControl*>()) {
            if (label->shows())
                continue;
            ++hidden;
            const QRect area(label->mapTo(m_form, QPoint()), label->size());
            const QImage shown = m_form->grab(area).toImage();
            label->hide();
            const QImage without = m_form->grab(area).toImage();
            label->show();
            QVERIFY2(shown == without, qPrintable(label->objectName()));
        }
        QCOMPARE(hidden, 18);
        // Shown again, the arrows fill with their colours again.
        showType(QStringLiteral("Maj "));
        for (const char* name : {"Label15", "Label16"}) {
            auto* arrow = m_form->findChild<QWidget*>(QLatin1String(name));
            QCOMPARE(m_form->grab(QRect(arrow->mapTo(m_form, QPoint(1, 1)), QSize(1, 1))).toImage().pixelColor(0, 0),
                     arrow->palette().color(QPalette::Window));
        }
        // A caption changed, or a label disabled, with no chord behind it
        // repaints too.
        auto* label = m_form->findChild<LabelControl*>(QStringLiteral("Label7"));
        QVERIFY(label->shows());
        for (int step = 0; step < 2; ++step) {
            if (step == 0)
                label->setCaption(QStringLiteral("9-X"));
            else
                label->setEnabled(false);
            QCoreApplication::sendPostedEvents(); // the refresh the label posts
            QCoreApplication::sendPostedEvents(); // the repaint it asks for
            QVERIFY2(worstDifference(onScreen(m_form), m_form->grab().toImage()) <= 64, qPrintable(QString::number(step)));
        }
    }

    void canvasTakesOnlyLabelsOverIt()
    {
        // The canvas draws a label only where it would lie on top as a
        // widget: above the canvas, within it, and with nothing between
        // them overlapping it but labels the canvas draws already.
        QWidget parent;
        auto* below = new LabelControl(&parent, QStringLiteral("below"), 150, 150, 300, 300, QStringLiteral("b"));
        auto* canvas = new OverlayCanvas(&parent, QRect(0, 0, 100, 100));
        auto* first = new LabelControl(&parent, QStringLiteral("first"), 150, 150, 300, 300, QStringLiteral("f"));
        auto* across = new LabelControl(&parent, QStringLiteral("across"), 1200, 150, 600, 300, QStringLiteral("a"));
        auto* between = new QWidget(&parent);
        between->setGeometry(50, 10, 20, 20);
        auto* covered = new LabelControl(&parent, QStringLiteral("covered"), 750, 150, 300, 300, QStringLiteral("c"));
        auto* onFirst = new LabelControl(&parent, QStringLiteral("onFirst"), 150, 150, 300, 300, QStringLiteral("o"));
        auto* clear = new LabelControl(&parent, QStringLiteral("clear"), 150, 900, 300, 300, QStringLiteral("l"));
        auto* onAcross = new LabelControl(&parent, QStringLiteral("onAcross"), 1275, 150, 150, 150, QStringLiteral("x"));
        QVERIFY(!canvas->addLabel(nullptr) && !canvas->addLabel(below) && !canvas->addLabel(across));
        QVERIFY(canvas->addLabel(first) && !canvas->addLabel(covered) && canvas->addLabel(onFirst));
        QVERIFY(canvas->addLabel(clear) && !canvas->addLabel(onAcross));
        QVERIFY(!first->updatesEnabled() && covered->updatesEnabled() && below->updatesEnabled());
    }

    void windowOnImagesOfOtherPixels()
    {
        // The picture and its marks written straight into an image of 32-bit
        // pixels, and painted by QPainter into one of 16-bit pixels, come out
        // the same but for the 16-bit image's rounding (steps of 4 and 8
        // levels, blended in those steps).
        showType(QStringLiteral("7th "));
        QImage wide(m_form->size() * m_r, QImage::Format_RGB32), narrow(wide.size(), QImage::Format_RGB16);
        for (QImage* img : {&wide, &narrow}) {
            img->setDevicePixelRatio(m_r);
            img->fill(Qt::white);
            m_form->render(img);
        }
        const QRect picture(m_form->findChild<PictureControl*>()->mapTo(m_form, QPoint()) * m_r,
                            m_form->findChild<PictureControl*>()->size() * m_r);
        const int worst = worstDifference(wide.convertToFormat(QImage::Format_RGB16).copy(picture), narrow.copy(picture));
        QVERIFY2(worst <= 64, qPrintable(QString::number(worst)));
    }

    void textBoxPanelAsTheStyleDrawsIt()
    {
        // The notes box copies its panel from a picture of it: the style's
        // own drawing, made again when the panel's state or size changes.
        auto* box = m_form->findChild<QLineEdit*>(QStringLiteral("Text1"));
        QVERIFY(box && box->style() != QApplication::style());
        QStyleOptionFrame panel;
        panel.initFrom(box);
        panel.lineWidth = 1;
        for (const auto& [height, focus] : {std::pair(25, false), {25, true}, {31, true}, {25, true}}) {
            panel.rect = QRect(2, 3, box->width(), height);
            panel.state.setFlag(QStyle::State_HasFocus, focus);
            QImage ours(QSize(box->width() + 4, 36) * m_r, QImage::Format_RGB32);
            ours.setDevicePixelRatio(m_r);
            ours.fill(Qt::darkCyan);
            QImage theirs = ours.copy();
            QPainter a(&ours), b(&theirs);
            box->style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &a, box);
            QApplication::style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &b, box);
            a.end();
            b.end();
            QCOMPARE(ours, theirs);
        }
    }

    void onlyThePictureTheScreenNeedsIsRead_data()
    {
        QTest::addColumn<bool>("wantedMissing");
        QTest::newRow("both there") << false;
        QTest::newRow("the wanted one missing") << true;
    }
    void onlyThePictureTheScreenNeedsIsRead()
    {
        QFETCH(bool, wantedMissing);
        const bool dense = m_r > 1;
        QList<bool> asked;
        PictureControl picture(nullptr, QStringLiteral("Image1"), 0, 0, [&](bool sharp) {
            asked << sharp;
            return wantedMissing && sharp == dense ? QPixmap() : QPixmap(QSize(921, 377) * (sharp ? 2 : 1));
        });
        QCOMPARE(asked, wantedMissing ? QList<bool>({dense, !dense}) : QList<bool>({dense}));
        QVERIFY(picture.hasPicture());
        picture.grab(); // painted on the same screen, it reads nothing again
        QCOMPARE(asked.size(), wantedMissing ? 2 : 1);
    }

    void fretNumbersCentredOverTheirColumns()
    {
        // Drawn alone on white, each run of inked columns is one number.
        auto* label = m_form->findChild<FretNumberLabel*>(QStringLiteral("Label12"));
        QImage img(label->size(), QImage::Format_RGB32);
        img.fill(Qt::white);
        label->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        QList<QPair<int, int>> runs; // first and last inked column; a gap of 3 or more parts two
        for (int x = 0; x < img.width(); ++x) {
            bool ink = false;
            for (int y = 0; y < img.height(); ++y)
                ink = ink || qGray(img.pixel(x, y)) < 128;
            if (ink)
                runs.isEmpty() || runs.last().second < x - 3 ? runs.append({x, x}) : void(runs.last().second = x);
        }
        QCOMPARE(runs.size(), 13);
        for (int i = 0; i < 13; ++i) {
            const double column = (kFretLeft[12 - i] + kDotSize / 2.0) / kTwips - label->x();
            QVERIFY(std::abs((runs[i].first + runs[i].second + 1) / 2.0 - column) <= 1.5);
        }
        // The halo, the window colour, reaches past the glyphs at both ends.
        for (const int x : {runs.first().first - 2, runs.last().second + 2}) {
            int least = 255;
            for (int y = 0; y < img.height(); ++y)
                least = std::min(least, qBlue(img.pixel(x, y)));
            QVERIFY2(least < 250, qPrintable(QString::number(least)));
        }
    }

    void labelsDrawnAsQLabelDrawsThem()
    {
        // Every label on show, over chords that give some twenty captions,
        // then one given a caption that wraps and a new face, width and
        // wrapping in turn, leaves the pixels a plain label with its text,
        // face, colours and size leaves, painted whole by the plain label and
        // in bands three pixels high by ours, as repaints that meet a label's
        // text only in part paint it.
        const auto inBands = [this](QWidget* w) {
            QImage img = busyGround(w->size(), m_r, QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < w->height(); y += 3)
                w->render(&img, QPoint(0, y), QRegion(0, y, w->width(), 3), QWidget::DrawChildren);
            return img;
        };
        const auto asQLabel = [this, inBands](LabelControl* label) {
            QLabel twin(label->text());
            twin.setTextFormat(Qt::PlainText);
            twin.setAlignment(label->alignment());
            twin.setWordWrap(label->wordWrap());
            twin.setFont(label->font());
            twin.setPalette(label->palette());
            twin.setAutoFillBackground(label->autoFillBackground() || label->fills());
            twin.resize(label->size());
            return inBands(label) == onGround(&twin);
        };
        // The strings' labels and arrows are drawn by the canvas beneath them,
        // and show in the window as they paint themselves over what lies
        // beneath them.
        const auto drawnAsItself = [this](LabelControl* label) {
            const QRect area = QRect(label->mapTo(m_form, QPoint()), label->size()).adjusted(-8, -8, 8, 8);
            label->hide();
            QImage expected = m_form->grab(area).toImage();
            label->show();
            const QImage shown = m_form->grab(area).toImage();
            QPainter p(&expected);
            label->render(&p, QPoint(8, 8), QRegion(), QWidget::DrawChildren);
            p.end();
            return shown == expected;
        };
        QSet<QString> seen;
        int byCanvas = 0;
        for (const char* type : {"Maj ", "Dim7 ", "7(#5,#9) ", "13#11 "}) {
            showType(QString::fromLatin1(type));
            for (LabelControl* label : m_form->findChildren<LabelControl*>()) {
                if (!label->shows() || qobject_cast<FretNumberLabel*>(label))
                    continue;
                QVERIFY2(asQLabel(label), qPrintable(label->objectName()));
                if (!label->updatesEnabled()) {
                    QVERIFY2(drawnAsItself(label), qPrintable(label->objectName()));
                    ++byCanvas;
                }
                seen << label->text();
            }
        }
        QVERIFY(seen.size() >= 20);
        QVERIFY(byCanvas >= 30);
        // A caption too long for its arrow is cut at the arrow's edges.
        showType(QStringLiteral("Maj "));
        auto* arrow = m_form->findChild<LabelControl*>(QStringLiteral("Label16"));
        arrow->setCaption(QStringLiteral("  <<<<"));
        QVERIFY(arrow->shows() && drawnAsItself(arrow));
        auto* label = m_form->findChild<LabelControl*>(QStringLiteral("Label14"));
        label->setCaption(QStringLiteral("Select the chord, its type and the position"));
        for (int step = 0; step < 4; ++step) {
            if (step == 1)
                label->setFont(windowFont(9.75));
            if (step == 2)
                label->resize(label->width() + 40, 40);
            if (step == 3)
                label->setWordWrap(false);
            QVERIFY2(asQLabel(label), qPrintable(QString::number(step)));
        }
    }

    void stampLaysTheDrawnPixels_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QPointF>("shift");
        QTest::newRow("1") << 1.0 << QPointF(3.3, 7.6);
        QTest::newRow("1.5") << 1.5 << QPointF(3.3, 7.6);
        QTest::newRow("2") << 2.0 << QPointF(0.25, 5.5);
    }

    void stampLaysTheDrawnPixels()
    {
        // An oval's fill and border laid from stamps, on a busy ground, leave
        // the pixels drawing them there does: when a stamp is made, when it
        // is laid again, and when the oval comes back to a place it left
        // (the stamp then lays what it made there before).
        QFETCH(double, ratio);
        QFETCH(QPointF, shift);
        const QImage ground = busyGround(QSize(60, 40), ratio, QImage::Format_RGB32);
        const QPen pen(QColor(255, 224, 192), 2.4);
        const QColor fill(20, 90, 200, 180);
        CoverageStamp fillStamp, penStamp;
        for (const QPointF place : {QPointF(4.1, 3.7), QPointF(4.1, 3.7), QPointF(13.5, 9.9), QPointF(4.1, 3.7)}) {
            const QRectF oval(place, QSizeF(31.3, 17.9));
            QImage drawn = ground;
            {
                QPainter p(&drawn);
                p.setRenderHint(QPainter::Antialiasing);
                p.translate(shift);
                p.setPen(pen);
                p.setBrush(fill);
                p.drawEllipse(oval);
            }
            QImage stamped = ground;
            QPainter p(&stamped);
            p.translate(shift);
            const CoverageStamp::Key key{place.x(), place.y(), 0};
            fillStamp.lay(p, key, oval.adjusted(-2, -2, 2, 2), [&](QPainter& s) { s.fillPath(ellipse(oval), fill); });
            penStamp.lay(p, key, oval.adjusted(-2, -2, 2, 2), [&](QPainter& s) { s.strokePath(ellipse(oval), pen); });
            p.end();
            QCOMPARE(stamped, drawn);
        }
    }

private:
    /// A ground of many colours, `size` pixels at `ratio` device pixels to the pixel.
    static QImage busyGround(QSize size, double ratio, QImage::Format format)
    {
        QImage img(size * ratio, format);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, qRgb(x * 7, y * 11, (x ^ y) * 13));
        img.setDevicePixelRatio(ratio);
        return img;
    }

    /// What `w` paints over a busy ground, at the window's ratio.
    QImage onGround(QWidget* w) const
    {
        QImage img = busyGround(w->size(), m_r, QImage::Format_ARGB32_Premultiplied);
        w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        return img;
    }

    /// Chooses a chord type by its text and lets the display catch up.
    void showType(const QString& type, Form1* form = nullptr) const
    {
        form = form ? form : m_form;
        form->findChild<QObject*>(QStringLiteral("Combo2"))->setProperty("Text", type);
        form->RunIt();
        QCoreApplication::sendPostedEvents();
    }

    static QPainterPath ellipse(const QRectF& r)
    {
        QPainterPath path;
        path.addEllipse(r);
        return path;
    }
};

QTEST_MAIN(TestAppearance)
#include "test_appearance.moc"

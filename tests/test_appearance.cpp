// How both windows look on any desktop. CTest runs this at device pixel
// ratios 1, 1.5 and 2, and once with no system fonts and a 120 DPI font
// setting: the colours stay readable under a dark palette, the built-in face
// fills the boxes as designed, the picture is the sharp one with the dots on
// its strings, the fret numbers stand over their columns, and every control
// has a name and a role for screen readers.
#include <QtTest>

#include <QAccessibleActionInterface>
#include <QFontDatabase>

#include "Form1.h"
#include "Form2.h"
#include "boardlayout.h"
#include "controls.h"
#include "notetables.h"
#include "volumeslider.h"

using namespace chordmoss;

namespace {

double luminance(QColor c)
{
    auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}
double contrast(QColor a, QColor b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

/// The contrast of the strongest mark in `area` against its commonest colour.
double markContrast(const QImage& img, QRect area)
{
    QHash<QRgb, int> count;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++count[img.pixel(x, y)];
    QRgb ground = 0;
    for (auto it = count.cbegin(); it != count.cend(); ++it)
        if (it.value() > count.value(ground))
            ground = it.key();
    double best = 1;
    for (auto it = count.cbegin(); it != count.cend(); ++it)
        best = std::max(best, contrast(QColor(it.key()), QColor(ground)));
    return best;
}

QPalette darkPalette()
{
    const QColor grey(53, 53, 53);
    return QPalette(Qt::white, grey, QColor(90, 90, 90), Qt::black, QColor(70, 70, 70), Qt::white, Qt::white,
                    QColor(30, 30, 30), grey);
}

} // namespace

class TestAppearance : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_form = new Form1;
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
        m_form->syncDisplay();
    }
    void cleanup() { delete m_form; }

    void contrast_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("default palette") << false;
        QTest::newRow("dark palette") << true;
    }
    void contrast()
    {
        QFETCH(bool, dark);
        delete m_form;
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        init();
        for (int i = 0; i < 5; ++i)
            m_form->findChild<QLineEdit*>(QStringLiteral("Search1_%1").arg(i))->setText(QStringLiteral("Bb"));
        m_form->Image1_MouseDown(1, 0, 5700, 4200); // opens the volume window
        QWidget* volume = m_form->volumeWindow();
        QVERIFY(QTest::qWaitForWindowExposed(volume));
        for (QWidget* window : {static_cast<QWidget*>(m_form), volume}) {
            const QImage img = window->grab().toImage();
            const double r = img.devicePixelRatio();
            for (QWidget* w : window->findChildren<QWidget*>()) {
                const bool control = w->property("Left").isValid() || qobject_cast<VolumeSlider*>(w);
                if (!w->isVisible() || !control || w->window() != window || qobject_cast<PictureControl*>(w))
                    continue;
                const QRect box(w->mapTo(window, QPoint(2, 2)) * r, (w->size() - QSize(4, 4)) * r);
                QList<QRect> areas = {box};
                if (qobject_cast<QComboBox*>(w)) // the arrow, on its own
                    areas << box.adjusted(box.width() - int(14 * r), 0, 0, 0);
                for (const QRect& area : areas)
                    QVERIFY2(markContrast(img, area) >= 4.5, qPrintable(w->objectName()));
            }
        }
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    void captionsFit()
    {
        if (qEnvironmentVariableIsSet("FONTCONFIG_FILE")) // the system's fonts are hidden
            QVERIFY(QFontDatabase::families().size() <= 4); // the built-in face and Qt's generic names
        for (QWidget* w : m_form->findChildren<QWidget*>()) {
            const QString text = w->property("Caption").toString();
            if (text.isEmpty() || w->objectName() == QLatin1String("Label12") || !w->isVisible())
                continue;
            const QFontInfo face(w->font());
            QCOMPARE(face.family(), QStringLiteral("Liberation Sans"));
            QVERIFY(QList<int>({11, 13, 18}).contains(face.pixelSize()));
            int room = w->width() - (qobject_cast<QPushButton*>(w) ? 6 : 0);
            if (qobject_cast<QCheckBox*>(w))
                room -= w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w)
                    + w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
            QVERIFY2(w->fontMetrics().horizontalAdvance(text) <= room, qPrintable(w->objectName()));
        }
    }

    void pictureAndDots()
    {
        auto* picture = m_form->findChild<PictureControl*>(QStringLiteral("Image1"));
        const QImage shot = m_form->grab().toImage();
        const double r = shot.devicePixelRatio();
        // The body of the guitar, where nothing lies over the picture, against
        // the picture resampled from the twice-size file and from the plain one.
        const QRect body(20, 10, 270, 290);
        const QSize device(qRound(921 * r), qRound(377 * r));
        auto difference = [&](QString file, Qt::TransformationMode mode) {
            const QImage ref = QImage(QStringLiteral(CHORDMOSS_ASSETS_DIR "/") + file)
                                   .scaled(device, Qt::IgnoreAspectRatio, mode);
            const QPoint origin = picture->mapTo(m_form, QPoint(0, 0)) * r;
            double sum = 0;
            for (int y = int(body.top() * r); y < body.bottom() * r; ++y)
                for (int x = int(body.left() * r); x < body.right() * r; ++x)
                    sum += std::abs(qGray(shot.pixel(origin + QPoint(x, y))) - qGray(ref.pixel(x, y)));
            return sum / (body.width() * body.height() * r * r);
        };
        const QString plain = QStringLiteral("guitar.jpg"), sharp = QStringLiteral("guitar@2x.jpg");
        QVERIFY(difference(r > 1 ? sharp : plain, Qt::SmoothTransformation) < 1.0);
        if (r > 1)
            QVERIFY(difference(plain, Qt::FastTransformation) > 2.0);

        // Each shown dot's white centre on its fret column and string row, and
        // the picture's string bright on that row just beside the dot.
        for (int s = 1; s <= 6; ++s) {
            const StringGroup& st = m_form->board().string(s);
            if (!st.dotVisible)
                continue;
            const QPointF centre = QPointF(st.dotLeft + kDotSize / 2.0, stringControls(s).dotTop + kDotSize / 2.0)
                    / kTwips * r
                + picture->parentWidget()->mapTo(m_form, QPoint(0, 0)) * r;
            QPointF sum;
            int n = 0;
            for (int y = int(centre.y() - 6 * r); y <= centre.y() + 6 * r; ++y)
                for (int x = int(centre.x() - 6 * r); x <= centre.x() + 6 * r; ++x)
                    if (qGray(shot.pixel(x, y)) >= 250)
                        sum += QPointF(x + 0.5, y + 0.5), ++n;
            QVERIFY(n > 0);
            QVERIFY2((sum / n - centre).manhattanLength() <= 0.75 * r, qPrintable(QString::number(s)));
            int bright = 0;
            for (int d = -1; d <= 1; ++d)
                bright = std::max(bright, qGray(shot.pixel(int(centre.x() - 6 * r), int(centre.y() + d * r))));
            QVERIFY(bright > 130);
        }
    }

    void fretNumbers()
    {
        // Drawn alone on white: each run of inked columns is one number.
        auto* label = m_form->findChild<LabelControl*>(QStringLiteral("Label12"));
        QImage img(label->size(), QImage::Format_RGB32);
        img.fill(Qt::white);
        label->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        QList<QPair<int, int>> runs;
        for (int x = 0; x < img.width(); ++x) {
            bool ink = false;
            for (int y = 0; y < img.height(); ++y)
                ink = ink || qGray(img.pixel(x, y)) < 128;
            if (ink && (runs.isEmpty() || runs.last().second < x - 3))
                runs.append({x, x});
            else if (ink)
                runs.last().second = x;
        }
        QCOMPARE(runs.size(), 13);
        for (int i = 0; i < 13; ++i) {
            const double column = (kFretLeft[12 - i] + kDotSize / 2.0) / kTwips - label->x();
            QVERIFY2(std::abs((runs[i].first + runs[i].second + 1) / 2.0 - column) <= 1.5, qPrintable(QString::number(12 - i)));
        }
    }

    void accessibleNames_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::newRow("root") << "Combo1" << int(QAccessible::ComboBox) << "Chord";
        QTest::newRow("type") << "Combo2" << int(QAccessible::ComboBox) << "Type";
        QTest::newRow("position") << "Combo3" << int(QAccessible::ComboBox) << "Position";
        QTest::newRow("listing") << "Text1" << int(QAccessible::EditableText) << "Notes and position in chord";
        QTest::newRow("search 1") << "Search1_0" << int(QAccessible::EditableText) << "Search note 1";
        QTest::newRow("search 5") << "Search1_4" << int(QAccessible::EditableText) << "Search note 5";
        QTest::newRow("hear") << "Command4" << int(QAccessible::Button) << "Hear";
        QTest::newRow("check") << "Check1" << int(QAccessible::CheckBox) << "Show chords that expand 4 frets";
        QTest::newRow("picture") << "Image1" << int(QAccessible::Graphic) << "";
        QTest::newRow("note") << "Label2" << int(QAccessible::Button) << "String 1 (low E) note, on or off";
        QTest::newRow("<") << "Label25" << int(QAccessible::Button) << "String 6 (high E) one fret up";
        QTest::newRow(">") << "Label18" << int(QAccessible::Button) << "String 2 (A) one fret down";
        QTest::newRow("frets") << "Label12" << int(QAccessible::StaticText) << "Fret numbers";
        QTest::newRow("caption") << "Label11" << int(QAccessible::StaticText)
                                 << "Click on labels to turn notes on and off";
    }
    void accessibleNames()
    {
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(m_form->findChild<QWidget*>(control));
        QVERIFY(a);
        QCOMPARE(int(a->role()), role);
        QVERIFY(!a->text(QAccessible::Name).isEmpty());
        if (!name.isEmpty())
            QCOMPARE(a->text(QAccessible::Name), name);
        if (control == QLatin1String("Label2")) { // pressed through the reader, the note turns off
            a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QVERIFY(!m_form->board().string(1).dotVisible);
        }
    }
    void everyControlNamed()
    {
        m_form->Image1_MouseDown(1, 0, 5700, 4200); // the volume window's too
        for (QWidget* w : m_form->findChildren<QWidget*>()) {
            if (!w->property("Left").isValid() && !qobject_cast<VolumeSlider*>(w))
                continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            QVERIFY2(!a->text(QAccessible::Name).trimmed().isEmpty() && a->role() != QAccessible::Client,
                     qPrintable(w->objectName()));
        }
    }

private:
    Form1* m_form = nullptr;
};

QTEST_MAIN(TestAppearance)
#include "test_appearance.moc"

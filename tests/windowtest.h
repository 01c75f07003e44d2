#pragma once
// What the window tests share: reading controls by name as a user sees them,
// real mouse presses at exact twip positions, and a user who answers every
// message box with OK.
#include <QtTest>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <functional>

#include "Form1.h"
#include "notetables.h"

namespace windowtest {

inline QObject* control(QObject* root, const QString& name)
{
    QObject* o = root->findChild<QObject*>(name);
    if (!o)
        qFatal("no control %s", qPrintable(name));
    return o;
}

inline QVariant prop(QObject* root, const QString& name, const char* property)
{
    return control(root, name)->property(property);
}

inline QWidget* widget(QObject* root, const QString& name) { return qobject_cast<QWidget*>(control(root, name)); }

/// Frets of strings 1..6 as the dots show them ("x" for a hidden dot).
inline QString frets(QObject* f)
{
    QStringList out;
    for (int s = 1; s <= 6; ++s) {
        const QString dot = QStringLiteral("Shape%1").arg(s);
        const double left = prop(f, dot, "Left").toDouble();
        const auto* col = std::find(chordmoss::kFretLeft.begin(), chordmoss::kFretLeft.end(), left);
        out << (prop(f, dot, "Visible").toBool() ? QString::number(col - chordmoss::kFretLeft.begin())
                                                 : QStringLiteral("x"));
    }
    return out.join(QLatin1Char(' '));
}

/// A real press and release of `button` at a position in twips of the widget;
/// fractional positions reach the handler unrounded.
inline void press(QWidget* w, Qt::MouseButton button, QPointF twips)
{
    const QPointF pos = twips / 15.0;
    QMouseEvent down(QEvent::MouseButtonPress, pos, w->mapToGlobal(pos), button, button, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, pos, w->mapToGlobal(pos), button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &up);
}

/// A chord typed into the three combo boxes and computed.
inline void choose(chordmoss::Form1& f, const char* root, const char* type, const char* position = "0")
{
    const char* texts[] = {root, type, position};
    for (int i = 0; i < 3; ++i)
        control(&f, QStringLiteral("Combo%1").arg(i + 1))->setProperty("Text", QString::fromLatin1(texts[i]));
    f.RunIt();
}

inline void hear(chordmoss::Form1& f) { qobject_cast<QPushButton*>(control(&f, QStringLiteral("Command4")))->click(); }

/// A pointer move over the picture to a position in twips, `buttons` held.
inline void moveOver(chordmoss::Form1& f, double x, double y, Qt::MouseButtons buttons = Qt::NoButton)
{
    QWidget* picture = widget(&f, QStringLiteral("Image1"));
    const QPointF pos(x / 15, y / 15);
    QMouseEvent e(QEvent::MouseMove, pos, picture->mapToGlobal(pos), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(picture, &e);
}

/// Answers every modal message box that comes up, recording its title, its
/// text and, at that moment, whatever `snapshot` returns.
class Messages : public QObject {
public:
    explicit Messages(std::function<QString()> snapshot = {}) : m_snapshot(std::move(snapshot))
    {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box == m_last)
                return;
            m_last = box;
            texts << box->text();
            titles << box->windowTitle();
            plain << (box->icon() == QMessageBox::NoIcon && box->buttons().size() == 1);
            seen << (m_snapshot ? m_snapshot() : QString());
            box->button(QMessageBox::Ok)->click();
        });
        m_timer.start();
    }
    QStringList texts, titles, seen;
    QList<bool> plain;

private:
    QTimer m_timer;
    QPointer<QMessageBox> m_last;
    std::function<QString()> m_snapshot;
};

/// The main window, shown.
struct Window {
    chordmoss::Form1 f;
    Window()
    {
        f.show();
        if (!QTest::qWaitForWindowExposed(&f))
            qFatal("window not exposed");
    }
    QVariant get(const QString& name, const char* property = "Text") { return prop(&f, name, property); }
    void set(const QString& name, const char* property, const QVariant& v) { control(&f, name)->setProperty(property, v); }
    QWidget* w(const QString& name) { return widget(&f, name); }
    QString frets() { return windowtest::frets(&f); }
};

} // namespace windowtest

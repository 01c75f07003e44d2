#include "accessiblenames.h"

#include <QWidget>

#include "boardlayout.h"
#include "controls.h"

namespace chordmoss {

namespace {
QString view(std::string_view s) { return QString::fromLatin1(s.data(), qsizetype(s.size())); }
} // namespace

void describeMainWindow(QWidget* form1)
{
    auto named = [form1](const QString& objectName, const QString& name, QAccessible::Role role) {
        if (auto* w = form1->findChild<QWidget*>(objectName))
            describeControl(w, name, role);
    };
    named(QStringLiteral("Combo1"), QStringLiteral("Chord"), QAccessible::ComboBox);
    named(QStringLiteral("Combo2"), QStringLiteral("Type"), QAccessible::ComboBox);
    named(QStringLiteral("Combo3"), QStringLiteral("Position"), QAccessible::ComboBox);
    named(QStringLiteral("Text1"), QStringLiteral("Notes and position in chord"), QAccessible::NoRole);
    for (int i = 0; i < 5; ++i)
        named(QStringLiteral("Search1_%1").arg(i), QStringLiteral("Search note %1").arg(i + 1), QAccessible::NoRole);
    named(QStringLiteral("Image1"), QStringLiteral("Guitar: click the neck to set the position, strum beside the pickup"),
          QAccessible::Graphic);
    named(QStringLiteral("Label12"), QStringLiteral("Fret numbers"), QAccessible::StaticText);
    // Numbered as guitarists number them, the high E first, as the strings'
    // descriptions are.
    static const char* const kStringNames[] = {"low E", "A", "D", "G", "B", "high E"};
    for (int s = 1; s <= 6; ++s) {
        const StringControls& c = stringControls(s);
        const QString string = QStringLiteral("String %1 (%2)").arg(7 - s).arg(QLatin1String(kStringNames[s - 1]));
        named(view(c.noteLabel), string + QStringLiteral(" note, on or off"), QAccessible::Button);
        named(view(c.less), string + QStringLiteral(" one fret up"), QAccessible::Button);
        named(view(c.more), string + QStringLiteral(" one fret down"), QAccessible::Button);
    }
    // The other labels are read as the text they show.
    for (const char* caption : {"Label1", "Label8", "Label9", "Label10", "Label11", "Label13", "Label14"})
        named(QLatin1String(caption), QString(), QAccessible::StaticText);
}

} // namespace chordmoss

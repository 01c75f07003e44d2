// The controls as a screen reader sees them, through Qt's accessibility
// interfaces (AT-SPI on Linux): each has a role and a name; the labels that
// act on presses are buttons; a combo's list items can be chosen without
// opening the list; the picture's hot spots are buttons.
#include <QAccessibleWidget>
#include <QLineEdit>

#include "controls.h"

namespace chordmoss {

namespace {

/// A part of a control that has no widget of its own: a combo's list, a list
/// item, a hot spot of the picture. Its owner creates it, registers it with
/// Qt's cache and deletes it.
class PartAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PartAccessible(QWidget* owner, QAccessible::Role role, QString name, QAccessible::Id parent)
        : m_owner(owner), m_role(role), m_name(std::move(name)), m_parent(parent)
    {
    }
    ~PartAccessible() override
    {
        for (QAccessible::Id id : std::as_const(children))
            QAccessible::deleteAccessibleInterface(id);
    }
    QList<QAccessible::Id> children;
    std::function<bool()> selected; // for list items
    std::function<void()> press;
    QRect area; // in the owner's pixels; the whole owner when empty

    bool isValid() const override { return m_owner; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_owner ? m_owner->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override
    {
        return m_parent ? QAccessible::accessibleInterface(m_parent) : QAccessible::queryAccessibleInterface(m_owner);
    }
    QAccessibleInterface* child(int i) const override
    {
        return i >= 0 && i < children.size() ? QAccessible::accessibleInterface(children[i]) : nullptr;
    }
    int childCount() const override { return int(children.size()); }
    int indexOfChild(const QAccessibleInterface* c) const override
    {
        return int(children.indexOf(QAccessible::uniqueId(const_cast<QAccessibleInterface*>(c))));
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? m_name : QString(); }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!m_owner)
            return {};
        const QRect local = area.isEmpty() ? m_owner->rect() : area;
        return local.translated(m_owner->mapToGlobal(QPoint()));
    }
    QAccessible::Role role() const override { return m_role; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invalid = !m_owner;
        s.selectable = bool(selected);
        s.selected = selected && selected();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface && press ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return press ? QStringList{pressAction()} : QStringList(); }
    void doAction(const QString& action) override
    {
        if (press && action == pressAction())
            press();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QWidget> m_owner;
    QAccessible::Role m_role;
    QString m_name;
    QAccessible::Id m_parent;
};

QAccessible::Id registered(PartAccessible* part) { return QAccessible::registerAccessibleInterface(part); }

/// A control as a screen reader sees it: its role, its name, the description
/// the window gives it, and for a label that acts on presses a press action.
/// A combo's children are its list and its edit field; the picture's, its
/// hot spots.
class ControlAccessible : public QAccessibleWidget {
public:
    ControlAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}
    ~ControlAccessible() override
    {
        for (QAccessible::Id id : std::as_const(m_parts))
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override
    {
        auto* label = qobject_cast<LabelControl*>(widget());
        if (t == QAccessible::Name && !widget()->accessibleName().isEmpty())
            return widget()->accessibleName();
        if (t == QAccessible::Description)
            return widget()->accessibleDescription();
        if (label && t == QAccessible::Name)
            return label->caption().simplified();
        // A combo is named for what it chooses; what it holds is its value.
        if (auto* combo = qobject_cast<QComboBox*>(widget()); combo && t == QAccessible::Value)
            return combo->currentText();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (auto* label = qobject_cast<LabelControl*>(widget()); label && !label->shows())
            s.invisible = true;
        // A note label says whether its string sounds.
        if (const QVariant sounding = widget()->property("sounding"); sounding.isValid()) {
            s.checkable = true;
            s.checked = sounding.toBool();
        }
        return s;
    }
    int childCount() const override
    {
        if (combo())
            return 2;
        if (auto* picture = qobject_cast<PictureControl*>(widget()))
            return int(picture->hotSpots().size());
        return QAccessibleWidget::childCount();
    }
    QAccessibleInterface* child(int i) const override
    {
        if (combo() && i == 1)
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        if (!combo() && !qobject_cast<PictureControl*>(widget()))
            return QAccessibleWidget::child(i);
        const QList<QAccessible::Id>& parts = this->parts();
        return i >= 0 && i < parts.size() ? QAccessible::accessibleInterface(parts[i]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* c) const override
    {
        if (!combo() && !qobject_cast<PictureControl*>(widget()))
            return QAccessibleWidget::indexOfChild(c);
        if (combo() && c && c->object() == combo()->lineEdit())
            return 1;
        return int(parts().indexOf(QAccessible::uniqueId(const_cast<QAccessibleInterface*>(c))));
    }
    QStringList actionNames() const override
    {
        if (role() == QAccessible::Button)
            return {pressAction()};
        if (role() == QAccessible::ComboBox)
            return {showMenuAction()};
        return QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        auto* label = qobject_cast<LabelControl*>(widget());
        if (label && action == pressAction())
            label->press();
        else if (combo() && action == showMenuAction())
            combo()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    ComboControl* combo() const { return qobject_cast<ComboControl*>(widget()); }

    /// The combo's list, or the picture's hot spots, made at the first question.
    const QList<QAccessible::Id>& parts() const
    {
        if (!m_parts.isEmpty())
            return m_parts;
        if (ComboControl* c = combo()) {
            auto* list = new PartAccessible(c, QAccessible::List, c->accessibleName(), 0);
            const QAccessible::Id listId = registered(list);
            for (int i = 0; i < c->count(); ++i) {
                auto* item = new PartAccessible(c, QAccessible::ListItem, c->itemText(i).trimmed(), listId);
                QPointer<ComboControl> owner = c;
                item->selected = [owner, i] { return owner && owner->listIndex() == i; };
                item->press = [owner, i] {
                    if (owner)
                        owner->setListIndex(i);
                };
                list->children << registered(item);
            }
            m_parts << listId;
        } else if (auto* picture = qobject_cast<PictureControl*>(widget())) {
            for (int i = 0; i < picture->hotSpots().size(); ++i) {
                auto* spot = new PartAccessible(picture, QAccessible::Button, picture->hotSpots()[i].first, 0);
                const QRectF twips = picture->hotSpots()[i].second;
                spot->area = QRectF(twips.topLeft() / kTwips, twips.size() / kTwips).toAlignedRect();
                QPointer<PictureControl> owner = picture;
                spot->press = [owner, i] {
                    if (owner)
                        owner->pressHotSpot(i);
                };
                m_parts << registered(spot);
            }
        }
        return m_parts;
    }

    mutable QList<QAccessible::Id> m_parts;
};

QAccessibleInterface* controlAccessibleFactory(const QString&, QObject* o)
{
    auto* w = qobject_cast<QWidget*>(o);
    const QVariant role = o ? o->property("accessibleRole") : QVariant();
    if (!w || !role.isValid())
        return nullptr;
    return new ControlAccessible(w, QAccessible::Role(role.toInt()));
}

} // namespace

void describeControl(QWidget* w, const QString& name, QAccessible::Role role)
{
    static const bool installed = [] {
        QAccessible::installFactory(controlAccessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    if (role != QAccessible::NoRole) {
        w->setProperty("accessibleRole", int(role));
        // A reader may have asked already while the control was built: the
        // next question then gets the new role.
        if (QAccessibleInterface* old = QAccessible::queryAccessibleInterface(w))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
    }
    if (!name.isEmpty())
        w->setAccessibleName(name);
}

} // namespace chordmoss

#include "views/common/Accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QPointer>

namespace {

constexpr char tabProperty[] = "nimbrelAccessibleTab";
constexpr char tabListProperty[] = "nimbrelAccessibleTabList";

class TabInterface : public QAccessibleWidget {
public:
    explicit TabInterface(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::PageTab)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name) {
            // Read as written: the "&" of "AI & Recap" marks no shortcut key.
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? button()->text() : name;
        }
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = button()->isChecked();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == pressAction() && button()->isEnabled())
            button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* interfaceFor(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (object->property(tabProperty).toBool()) {
        if (auto* button = qobject_cast<QAbstractButton*>(object))
            return new TabInterface(button);
    }
    if (object->property(tabListProperty).toBool())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::PageTabList);
    return nullptr;
}

// An interface made before the widget was marked (the widget's own set-up
// announces changes while a screen reader listens) is dropped, so the next
// request builds the marked one.
void dropEarlierInterface(QWidget* widget, QAccessible::Role wanted)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    if (face && face->role() != wanted)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(face));
}

void installFactoryOnce()
{
    static const bool installed = [] {
        QAccessible::installFactory(&interfaceFor);
        return true;
    }();
    (void)installed;
}

// Copies a tooltip into the accessible name whenever the tooltip changes.
class ToolTipName : public QObject {
public:
    ToolTipName(QWidget* widget, QWidget* source)
        : QObject(widget)
        , m_widget(widget)
        , m_source(source)
    {
        source->installEventFilter(this);
        copy();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_source && event->type() == QEvent::ToolTipChange)
            copy();
        return false;
    }

private:
    void copy()
    {
        if (m_widget && m_source)
            m_widget->setAccessibleName(m_source->toolTip());
    }

    QPointer<QWidget> m_widget;
    QPointer<QWidget> m_source;
};

} // namespace

namespace Accessibility {

void nameFromToolTip(QWidget* widget, QWidget* source)
{
    new ToolTipName(widget, source ? source : widget);
}

void markTab(QAbstractButton* button)
{
    installFactoryOnce();
    button->setProperty(tabProperty, true);
    dropEarlierInterface(button, QAccessible::PageTab);
}

void markTabList(QWidget* container)
{
    installFactoryOnce();
    container->setProperty(tabListProperty, true);
    dropEarlierInterface(container, QAccessible::PageTabList);
}

} // namespace Accessibility

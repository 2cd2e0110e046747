#pragma once

class QAbstractButton;
class QWidget;

// What screen readers are told about our own controls, beyond what Qt
// derives from a widget's class.
namespace Accessibility {

// The widget's accessible name follows the tooltip of `source` (the widget
// itself by default): icon buttons say in their tooltip what they do.
void nameFromToolTip(QWidget* widget, QWidget* source = nullptr);

// The button is read as a page tab (selected while checked) and its
// container as the list of tabs, instead of as push buttons or check boxes.
// The text is read as written: it carries no mnemonic.
void markTab(QAbstractButton* button);
void markTabList(QWidget* container);

} // namespace Accessibility

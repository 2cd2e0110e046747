#pragma once

#include <QString>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QVBoxLayout;
class QWidget;

// The pieces every settings section is made of: a group (a header over a
// card of rows), switches, help lines, picker rows and dividers.
namespace SettingsForm {

// Adds a header and its card to `section`; returns the card's column of rows,
// `rowSpacing` apart.
QVBoxLayout* addGroup(QVBoxLayout* section, const QString& header, int rowSpacing);

QCheckBox* makeSwitch(const QString& label, QWidget* parent);
// A line of explanation under a switch, indented.
QLabel* makeHelpLine(const QString& text, QWidget* parent);
QFrame* makeDivider(QWidget* parent);
// "Label:   [picker]" across the card; the picker at most `pickerMaxWidth` wide.
QWidget* makePickerRow(const QString& label, QComboBox* picker, int pickerMaxWidth, QWidget* parent);
QLabel* makeLabel(const QString& text, int size, bool secondary, QWidget* parent);

} // namespace SettingsForm

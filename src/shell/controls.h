#pragma once

#include <QString>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace davrenta {

// A caption without its mnemonic markers: "E&xit" -> "Exit", "&&" -> "&".
QString PlainCaption(const QString& caption);

// The objectName that tests and accessibility tools find a control by, and its accessible
// name (the caption without mnemonic, or the name of the field it edits).
void NameControl(QWidget* control, const QString& name, const QString& accessibleName);

// Controls named as the windows' tables name them. A caption may carry a mnemonic ("&Back").
QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption);
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text = QString());
QLineEdit* MakeTextBox(QWidget* parent, const QString& name, const QString& accessibleName);
QAction* MakeAction(QWidget* parent, const QString& name, const QString& caption);

// The name of element `index` of a control array: "inputsymtxt(3)".
QString ArrayName(const QString& name, int index);

} // namespace davrenta

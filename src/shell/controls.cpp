#include "shell/controls.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace davrenta {

QString PlainCaption(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&'))
                plain += QLatin1Char('&');
            ++i;
            if (i < caption.size() && caption[i] != QLatin1Char('&'))
                plain += caption[i];
            continue;
        }
        plain += caption[i];
    }
    return plain;
}

void NameControl(QWidget* control, const QString& name, const QString& accessibleName) {
    control->setObjectName(name);
    control->setAccessibleName(accessibleName.isEmpty() ? name : accessibleName);
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    NameControl(button, name, PlainCaption(caption).trimmed());
    return button;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text) {
    // No fixed accessible name: a label is read by its current text, which the windows change.
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit* MakeTextBox(QWidget* parent, const QString& name, const QString& accessibleName) {
    auto* box = new QLineEdit(parent);
    NameControl(box, name, accessibleName);
    return box;
}

QAction* MakeAction(QWidget* parent, const QString& name, const QString& caption) {
    auto* action = new QAction(caption, parent);
    action->setObjectName(name);
    return action;
}

QString ArrayName(const QString& name, int index) {
    return name + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

} // namespace davrenta

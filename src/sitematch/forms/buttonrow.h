#pragma once

#include <initializer_list>

#include <QHBoxLayout>
#include <QPushButton>

namespace davrenta {

// The row of buttons along the foot of a matching window, kept to the right.
inline QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : buttons)
        row->addWidget(button);
    return row;
}

} // namespace davrenta

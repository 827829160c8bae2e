#include "sfloc/forms/chain.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace davrenta {

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

} // namespace davrenta

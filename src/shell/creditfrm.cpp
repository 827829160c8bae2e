#include "shell/creditfrm.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"
#include "version.h"

namespace davrenta {

creditfrm::creditfrm(QWidget* parent) : QDialog(parent) {
    SetUpWindow(this, QStringLiteral("creditfrm"), QString::fromLatin1(kApplicationTitle));

    productlbl =
        MakeLabel(this, QStringLiteral("productlbl"), QString::fromLatin1(kApplicationTitle));
    QFont big = productlbl->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    productlbl->setFont(big);
    versionlbl = MakeLabel(this, QStringLiteral("versionlbl"),
                           QStringLiteral("Version ") + QString::fromLatin1(kVersion));
    aboutlbl =
        MakeLabel(this, QStringLiteral("aboutlbl"),
                  QStringLiteral("Facilities planning: where to place points of distribution, "
                                 "which sites facilities should use, and how materials move "
                                 "through a layout."));
    creditlbl = MakeLabel(this, QStringLiteral("creditlbl"),
                          QStringLiteral("Written and maintained by the Davrenta developers."));
    for (QLabel* label : {productlbl, versionlbl, aboutlbl, creditlbl}) {
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
    }
    okbut2 = MakeButton(this, QStringLiteral("okbut2"), QStringLiteral("&ok"));
    okbut2->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(productlbl);
    layout->addWidget(versionlbl);
    layout->addSpacing(8);
    layout->addWidget(aboutlbl);
    layout->addWidget(creditlbl);
    layout->addSpacing(8);
    layout->addWidget(okbut2, 0, Qt::AlignHCenter);
    setMinimumWidth(380);

    connect(okbut2, &QPushButton::clicked, this, &creditfrm::okbut2_Click);
    okbut2->setFocus();
}

void creditfrm::okbut2_Click() {
    accept();
}

} // namespace davrenta

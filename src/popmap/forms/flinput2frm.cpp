#include "popmap/forms/flinput2frm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/forms/flinput4frm.h"
#include "popmap/keyboard.h"
#include "popmap/texts.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"

namespace davrenta {

namespace {
constexpr int kRowsPerGroup = 10;
}

flinput2frm::flinput2frm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("flinput2frm"), QStringLiteral("Input Existing PODs"));

    Label3 = MakeLabel(this, QStringLiteral("Label3"), QString::fromLatin1(kPodEntryInstructions));
    Label3->setWordWrap(true);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    const QFontMetrics metrics(font());
    for (int r = 0; r < kMaxExistingPods; ++r) {
        const int group = r / kRowsPerGroup, row = r % kRowsPerGroup;
        if (row == 0) {
            grid->addWidget(new QLabel(QStringLiteral("Facility Number")), 0, group * 4);
            grid->addWidget(new QLabel(QStringLiteral("x")), 0, group * 4 + 1);
            grid->addWidget(new QLabel(QStringLiteral("y")), 0, group * 4 + 2);
        }
        const QString pod = QString::number(r + 1);
        auto* number = new QLabel(pod);
        number->setAlignment(Qt::AlignCenter);
        inputxtxt[r] = MakeTextBox(this, ArrayName(QStringLiteral("inputxtxt"), r),
                                   QStringLiteral("Column (x) of facility ") + pod);
        inputytxt[r] = MakeTextBox(this, ArrayName(QStringLiteral("inputytxt"), r),
                                   QStringLiteral("Line (y) of facility ") + pod);
        for (QLineEdit* box : {inputxtxt[r], inputytxt[r]})
            box->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("00000")));
        grid->addWidget(number, row + 1, group * 4);
        grid->addWidget(inputxtxt[r], row + 1, group * 4 + 1);
        grid->addWidget(inputytxt[r], row + 1, group * 4 + 2);
        grid->setColumnMinimumWidth(group * 4 + 3, 16);
    }
    for (int r = 0; r + 1 < kMaxExistingPods; ++r) {
        setTabOrder(inputxtxt[r], inputytxt[r]);
        setTabOrder(inputytxt[r], inputxtxt[r + 1]);
    }

    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    okbut->setDefault(true);
    auto* content = new QVBoxLayout;
    content->addWidget(Label3);
    content->addLayout(grid);
    content->addStretch();
    PageAndButtons(this, content, ButtonRow({okbut}));

    connect(okbut, &QPushButton::clicked, this, &flinput2frm::okbut_Click);

    const auto rows = OpenPodEntry(state_.fl);
    for (int r = 0; r < kMaxExistingPods; ++r) {
        inputxtxt[r]->setText(QString::fromStdString(rows[r].first));
        inputytxt[r]->setText(QString::fromStdString(rows[r].second));
    }
    inputxtxt[0]->setFocus();
}

void flinput2frm::okbut_Click() {
    std::vector<std::string> xs, ys;
    for (int r = 0; r < kMaxExistingPods; ++r) {
        xs.push_back(inputxtxt[r]->text().toStdString());
        ys.push_back(inputytxt[r]->text().toStdString());
    }
    if (Status stored = StorePods(state_.fl, xs, ys); !stored) {
        ShowMessage(this, stored.message());
        return;
    }
    HideForSuccessor(this);
    OpenModal<flinput4frm>(state_, this);
    accept();
}

} // namespace davrenta

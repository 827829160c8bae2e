#include "mhact/forms/mhdeptfrm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "mhact/activity.h"
#include "mhact/forms/mhres1frm.h"
#include "mhact/forms/windowparts.h"
#include "mhact/texts.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/printing.h"
#include "shell/windowkit.h"

namespace davrenta {

mhdeptfrm::mhdeptfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("mhdeptfrm"), QStringLiteral("Department Data"));
    auto* titlelbl = MakeLabel(this, QStringLiteral("titlelbl"), QStringLiteral("Number Moves"));

    // Made in reading order, which is the order Tab follows.
    const MhActivityState& mh = state_.mh;
    const int n = std::clamp(mh.DeptCount, 0, kMaxDepartments);
    auto* corner = MakeLabel(this, QStringLiteral("cornerlbl"), QStringLiteral("From\\To"));
    std::vector<QWidget*> columns, rows;
    std::vector<std::vector<QWidget*>> cells(kMaxDepartments);
    for (int i = 1; i <= kMaxDepartments; ++i) {
        todeptlbl[i] = MakeLabel(this, ArrayName(QStringLiteral("todeptlbl"), i));
        // A long name wraps at its blanks rather than widening its column.
        todeptlbl[i]->setWordWrap(true);
        todeptlbl[i]->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        columns.push_back(todeptlbl[i]);
    }
    for (int i = 1; i <= kMaxDepartments; ++i) {
        fromdeptlbl[i] = MakeLabel(this, ArrayName(QStringLiteral("fromdeptlbl"), i));
        rows.push_back(fromdeptlbl[i]);
        for (int j = 1; j <= kMaxDepartments; ++j) {
            const int k = kMaxDepartments * (i - 1) + j;
            loadtxt[k] = MakeTextBox(this, ArrayName(QStringLiteral("loadtxt"), k),
                                     QStringLiteral("Moves from %1 to %2").arg(i).arg(j));
            loadtxt[k]->setMinimumWidth(48);
            // Only the departments' boxes are read on "Ok".
            loadtxt[k]->setEnabled(i <= n && j <= n);
            cells[i - 1].push_back(loadtxt[k]);
        }
    }
    for (int i = 1; i <= n; ++i) {
        fromdeptlbl[i]->setText(CellText(mh.DeptName[i]));
        todeptlbl[i]->setText(CellText(mh.DeptName[i]));
        for (int j = 1; j <= n; ++j)
            box(i, j)->setText(CellText(MoveText(mh.MoveCount(i, j))));
    }
    for (int k = 1; k <= kBoxes; ++k)
        WidenBoxFor(loadtxt[k], QStringLiteral("00000"));
    prtbut = MakeButton(this, QStringLiteral("prtbut"), QStringLiteral("&Print"));
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    okbut->setDefault(true);
    // The names of the rows and columns stay in view while the moves scroll.
    movetbl = new HeadedTable(this, corner, columns, rows, cells);
    movetbl->setObjectName(QStringLiteral("movetbl"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titlelbl);
    layout->addWidget(movetbl, 1);
    layout->addLayout(ButtonRow({prtbut, okbut}));
    // As large as the table while the screen has room.
    resize(sizeHint());
    // Typing starts at the first department's moves to the second (a department's moves to
    // itself carry no activity); Enter still presses Ok.
    (n >= 2 ? box(1, 2) : box(1, 1))->setFocus();

    connect(okbut, &QPushButton::clicked, this, &mhdeptfrm::okbut_Click);
    connect(prtbut, &QPushButton::clicked, this, &mhdeptfrm::prtbut_Click);
}

std::vector<std::vector<std::string>> mhdeptfrm::typedMoves() const {
    const int n = std::clamp(state_.mh.DeptCount, 0, kMaxDepartments);
    std::vector<std::vector<std::string>> texts(n, std::vector<std::string>(n));
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            texts[i - 1][j - 1] = CellBytes(box(i, j)->text());
    return texts;
}

void mhdeptfrm::okbut_Click() {
    StoreMoves(state_.mh, typedMoves());
    // Results with a figure beyond the largest number are told here, where they can be changed.
    if (Status shown = CheckActivityResult(state_.mh, state_.DistanceMethod); !shown) {
        ShowMessage(this, shown.message());
        return;
    }
    HideForSuccessor(this);
    OpenModal<mhres1frm>(state_, this);
    accept();
}

void mhdeptfrm::prtbut_Click() {
    // What the boxes show now, typed but not yet taken by "Ok".
    MhActivityState shown = state_.mh;
    StoreMoves(shown, typedMoves());
    PrintReport(this, MoveTableReport(shown), ReportPdfPath(state_, QStringLiteral("moves")));
}

} // namespace davrenta

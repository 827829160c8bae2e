#include "popmap/forms/flinputfrm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "popmap/forms/flinput2frm.h"
#include "popmap/forms/tableparts.h"
#include "popmap/keyboard.h"
#include "shell/controls.h"
#include "shell/windowkit.h"

namespace davrenta {

namespace {
constexpr int kRowsPerColumn = 20;
}

flinputfrm::flinputfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("flinputfrm"), QStringLiteral(" Input Area Populations"));
    setAccessibleName(windowTitle().trimmed());

    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    const QFontMetrics metrics(font());
    for (int p = 0; p < kMaxTypedAreas; ++p) {
        const int column = p / kRowsPerColumn, row = p % kRowsPerColumn;
        if (row == 0)
            grid->addWidget(new QLabel(QStringLiteral("Symbol    Population")), 0, column * 3, 1,
                            2);
        const QString area = QString::number(p + 1);
        inputsymtxt[p] = MakeTextBox(page, ArrayName(QStringLiteral("inputsymtxt"), p),
                                     QStringLiteral("Symbol of area ") + area);
        inputpoptxt[p] = MakeTextBox(page, ArrayName(QStringLiteral("inputpoptxt"), p),
                                     QStringLiteral("Population of area ") + area);
        SymbolBox(inputsymtxt[p]);
        inputsymtxt[p]->setFixedWidth(
            QFontMetrics(inputsymtxt[p]->font()).horizontalAdvance(QStringLiteral("MMMM")));
        inputpoptxt[p]->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("000000000")));
        grid->addWidget(inputsymtxt[p], row + 1, column * 3);
        grid->addWidget(inputpoptxt[p], row + 1, column * 3 + 1);
        if (column < kMaxTypedAreas / kRowsPerColumn - 1)
            grid->setColumnMinimumWidth(column * 3 + 2, 10);
    }
    // Typing goes down a column: symbol, population, next area.
    for (int p = 0; p + 1 < kMaxTypedAreas; ++p) {
        setTabOrder(inputsymtxt[p], inputpoptxt[p]);
        setTabOrder(inputpoptxt[p], inputsymtxt[p + 1]);
    }

    auto* scroll = new QScrollArea;
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    okbut->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okbut);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addLayout(buttons);
    resize(page->sizeHint().width() + 40, std::min(page->sizeHint().height() + 80, 720));

    connect(okbut, &QPushButton::clicked, this, &flinputfrm::okbut_Click);

    const auto boxes = OpenAreaEntry(state_.fl);
    for (std::size_t p = 0; p < boxes.size(); ++p) {
        // A slot cleared for a new problem has no symbol: its population box stays empty too.
        if (boxes[p].first.empty())
            continue;
        inputsymtxt[p]->setText(CellText(boxes[p].first));
        inputpoptxt[p]->setText(CellText(boxes[p].second));
    }
    inputsymtxt[0]->setFocus();
}

void flinputfrm::okbut_Click() {
    std::vector<std::string> symbols, populations;
    for (int p = 0; p < kMaxTypedAreas; ++p) {
        symbols.push_back(CellBytes(inputsymtxt[p]->text()));
        populations.push_back(inputpoptxt[p]->text().toStdString());
    }
    StoreAreas(state_.fl, symbols, populations);
    HideForSuccessor(this);
    OpenModal<flinput2frm>(state_, this);
    accept();
}

} // namespace davrenta

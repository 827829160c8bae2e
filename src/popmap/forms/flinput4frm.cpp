#include "popmap/forms/flinput4frm.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "popmap/forms/flocgridfrm.h"
#include "popmap/forms/tableparts.h"
#include "popmap/keyboard.h"
#include "popmap/texts.h"
#include "shell/controls.h"
#include "shell/fonts.h"
#include "shell/grid.h"
#include "shell/messages.h"
#include "shell/windowkit.h"
#include "state/numbers.h"

namespace davrenta {

flinput4frm::flinput4frm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("flinput4frm"), QStringLiteral("Population Location"));

    Label1 = MakeLabel(this, QStringLiteral("Label1"),
                       QStringLiteral("Enter population symbol for specified line and column."));
    Label3 = MakeLabel(this, QStringLiteral("Label3"), QStringLiteral("Line"));
    linelbl = MakeLabel(this, QStringLiteral("linelbl"));
    Label5 = MakeLabel(this, QStringLiteral("Label5"), QString::fromStdString(EntryTensRuler()));
    Label4 = MakeLabel(this, QStringLiteral("Label4"), QString::fromLatin1(kUnitsRuler));
    inputtxt = MakeTextBox(this, QStringLiteral("inputtxt"),
                           QStringLiteral("Text of the current map line"));
    inputtxt->setMaxLength(kMapColumns);
    flareagrd = new Grid(this);
    NameControl(flareagrd, QStringLiteral("flareagrd"), QStringLiteral("Map lines"));
    flareagrd->setFont(MapFont());
    rowprevbut = MakeButton(this, QStringLiteral("rowprevbut"), QStringLiteral("&Previous Line"));
    rownextbut = MakeButton(this, QStringLiteral("rownextbut"), QStringLiteral("&Next Line"));
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    Command1 = MakeButton(this, QStringLiteral("Command1"), QStringLiteral("P&rint"));
    // Enter stores the line and moves to the next one.
    rownextbut->setDefault(true);

    // One fixed-pitch font for the rulers and the line, and the rulers indented as far as the
    // box indents its text, so that character c stands under column c.
    const QFont mono = MapFont();
    for (QWidget* w : {static_cast<QWidget*>(Label5), static_cast<QWidget*>(Label4),
                       static_cast<QWidget*>(inputtxt)})
        w->setFont(mono);
    const int indent = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, inputtxt) + 2;
    Label5->setIndent(indent);
    Label4->setIndent(indent);
    inputtxt->setMinimumWidth(
        QFontMetrics(mono).horizontalAdvance(QString(kMapColumns + 2, QLatin1Char('M'))) +
        2 * indent);

    flareagrd->setFixedRows(0);
    flareagrd->setFixedCols(1);
    flareagrd->setRows(kMapLines);
    flareagrd->setCols(2);
    flareagrd->setColWidth(0, 300);
    flareagrd->setColWidth(1, 9000);
    flareagrd->setFont(mono);

    auto* line = new QHBoxLayout;
    line->addWidget(Label3);
    line->addWidget(linelbl);
    line->addStretch();
    // The line's box is as wide as the map: on a narrow screen the page scrolls sideways and
    // the buttons stay in view below it.
    Label1->setWordWrap(true);
    auto* content = new QVBoxLayout;
    content->addWidget(Label1);
    content->addLayout(line);
    content->addSpacing(4);
    content->addWidget(Label5);
    content->addWidget(Label4);
    content->addWidget(inputtxt);
    content->addWidget(flareagrd, 1);
    content->setSpacing(2);
    PageAndButtons(this, content, ButtonRows(this, {rowprevbut, rownextbut, Command1, okbut}));
    resize(sizeHint().width(), 640);

    connect(rowprevbut, &QPushButton::clicked, this, &flinput4frm::rowprevbut_Click);
    connect(rownextbut, &QPushButton::clicked, this, &flinput4frm::rownextbut_Click);
    connect(okbut, &QPushButton::clicked, this, &flinput4frm::okbut_Click);
    connect(Command1, &QPushButton::clicked, this, &flinput4frm::Command1_Click);

    PopMap& fl = state_.fl;
    OpenMapEntry(fl, state_.SourceFlag == Source::Keyboard);
    for (int i = 1; i <= kMapLines; ++i) {
        flareagrd->setTextMatrix(i - 1, 0, QString::number(i));
        flareagrd->setTextMatrix(i - 1, 1, CellText(fl.MapLine[i]));
    }
    flareagrd->setRow(0);
    flareagrd->setCol(1);
    showCurrentLine();
}

void flinput4frm::leaveLine() {
    StoreInputLine(state_.fl, CellBytes(inputtxt->text()));
    flareagrd->setTextMatrix(state_.fl.MapInputLine - 1, 1, inputtxt->text());
}

void flinput4frm::showCurrentLine() {
    const int line = state_.fl.MapInputLine;
    inputtxt->setText(CellText(state_.fl.MapLine[line]));
    linelbl->setText(QString::fromStdString(StrForm(line)));
    flareagrd->setRow(line - 1);
    inputtxt->setFocus();
}

void flinput4frm::rownextbut_Click() {
    leaveLine();
    NextInputLine(state_.fl);
    if (const int top = InputTopRow(state_.fl); top > 0) {
        flareagrd->setTopRow(top);
        flareagrd->refresh();
    }
    showCurrentLine();
}

void flinput4frm::rowprevbut_Click() {
    leaveLine();
    PreviousInputLine(state_.fl);
    showCurrentLine();
}

void flinput4frm::Command1_Click() {
    ShowSymbolsMessage(
        this, CellText(state_.fl.MapLine[std::clamp(state_.fl.MapInputLine, 1, kMapLines)]));
}

void flinput4frm::okbut_Click() {
    StoreInputLine(state_.fl, CellBytes(inputtxt->text()));
    FinishMapEntry(state_.fl);
    HideForSuccessor(this);
    OpenModal<flocgridfrm>(state_, this);
    accept();
}

} // namespace davrenta

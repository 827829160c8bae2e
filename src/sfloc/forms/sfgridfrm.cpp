#include "sfloc/forms/sfgridfrm.h"

#include <algorithm>
#include <array>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include "sfloc/forms/locationplot.h"
#include "sfloc/forms/sfinputdatafrm.h"
#include "sfloc/forms/sfremvfrm.h"
#include "sfloc/picture.h"
#include "sfloc/sffile.h"
#include "sfloc/solve.h"
#include "sfloc/texts.h"
#include "shell/controls.h"
#include "shell/exporter.h"
#include "shell/messages.h"
#include "shell/windowkit.h"

namespace davrenta {

namespace {

const char* const kBoxRoles[] = {"x of facility ", "y of facility ", "Weight of facility "};

} // namespace

sfgridfrm::sfgridfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("sfgridfrm"), QStringLiteral("Grid"));

    // The table: headings, then 20 rows of a number and three boxes.
    auto* page = new QWidget;
    auto* table = new QGridLayout(page);
    table->setVerticalSpacing(2);
    Label2 = MakeLabel(page, QStringLiteral("Label2"), QStringLiteral("Existing Facility"));
    Label3 = MakeLabel(page, QStringLiteral("Label3"), QStringLiteral("Coordinates"));
    Label6 = MakeLabel(page, QStringLiteral("Label6"), QStringLiteral("x"));
    Label7 = MakeLabel(page, QStringLiteral("Label7"), QStringLiteral("y"));
    Label4 = MakeLabel(page, QStringLiteral("Label4"), QStringLiteral("Weight"));
    Label3->setAlignment(Qt::AlignHCenter);
    table->addWidget(Label2, 0, 0, 2, 1, Qt::AlignBottom);
    table->addWidget(Label3, 0, 1, 1, 2);
    table->addWidget(Label6, 1, 1, Qt::AlignHCenter);
    table->addWidget(Label7, 1, 2, Qt::AlignHCenter);
    table->addWidget(Label4, 1, 3, Qt::AlignHCenter);
    const int boxWidth = fontMetrics().horizontalAdvance(QStringLiteral("-00000.0000"));
    for (int r = 0; r < kMaxFacilities; ++r) {
        Label1[r] = MakeLabel(page, ArrayName(QStringLiteral("Label1"), r), QString::number(r + 1));
        Label1[r]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->addWidget(Label1[r], r + 2, 0);
        for (int c = 0; c < 3; ++c) {
            const int box = 3 * r + c;
            gridinputtxt[box] =
                MakeTextBox(page, ArrayName(QStringLiteral("gridinputtxt"), box),
                            QString::fromLatin1(kBoxRoles[c]) + QString::number(r + 1));
            gridinputtxt[box]->setMinimumWidth(boxWidth);
            table->addWidget(gridinputtxt[box], r + 2, c + 1);
            if (box > 0)
                setTabOrder(gridinputtxt[box - 1], gridinputtxt[box]);
        }
    }
    table->setRowStretch(kMaxFacilities + 2, 1);
    auto* scroll = new QScrollArea;
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    // The whole table when the screen has room; on a small or highly scaled screen it scrolls
    // sideways instead of pushing over the picture beside it.
    const int available = screen() ? screen()->availableGeometry().width() : 1 << 16;
    scroll->setMinimumWidth(std::min(page->sizeHint().width() + 24, available / 2));

    // Results: a heading, column headings and one row per measure.
    Label10 = MakeLabel(this, QStringLiteral("Label10"), QStringLiteral("Optimal Location"));
    Label8 = MakeLabel(this, QStringLiteral("Label8"), QStringLiteral("X"));
    Label9 = MakeLabel(this, QStringLiteral("Label9"), QStringLiteral("Y"));
    objheadlbl =
        MakeLabel(this, QStringLiteral("objheadlbl"), QStringLiteral("Weighted total distance"));
    Label11 = MakeLabel(this, QStringLiteral("Label11"), QString::fromLatin1(kRectName));
    Label12 = MakeLabel(this, QStringLiteral("Label12"), QString::fromLatin1(kEuclName));
    Label13 = MakeLabel(this, QStringLiteral("Label13"), QString::fromLatin1(kSqEuclName));
    olrectxlbl = MakeLabel(this, QStringLiteral("olrectxlbl"), QStringLiteral("0"));
    olrectylbl = MakeLabel(this, QStringLiteral("olrectylbl"), QStringLiteral("0"));
    oleuclxlbl = MakeLabel(this, QStringLiteral("oleuclxlbl"), QStringLiteral("0"));
    oleuclylbl = MakeLabel(this, QStringLiteral("oleuclylbl"), QStringLiteral("0"));
    olsqeuxlbl = MakeLabel(this, QStringLiteral("olsqeuxlbl"), QStringLiteral("0"));
    olsqeuylbl = MakeLabel(this, QStringLiteral("olsqeuylbl"), QStringLiteral("0"));
    olrectobjlbl = MakeLabel(this, QStringLiteral("olrectobjlbl"));
    oleuclobjlbl = MakeLabel(this, QStringLiteral("oleuclobjlbl"));
    olsqeuobjlbl = MakeLabel(this, QStringLiteral("olsqeuobjlbl"));
    auto* results = new QGridLayout;
    results->addWidget(Label10, 0, 0, 1, 4);
    results->addWidget(Label8, 1, 1);
    results->addWidget(Label9, 1, 2);
    results->addWidget(objheadlbl, 1, 3);
    objheadlbl->setWordWrap(true); // two lines where the column is narrow
    QLabel* const rows[3][4] = {{Label11, olrectxlbl, olrectylbl, olrectobjlbl},
                                {Label12, oleuclxlbl, oleuclylbl, oleuclobjlbl},
                                {Label13, olsqeuxlbl, olsqeuylbl, olsqeuobjlbl}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            results->addWidget(rows[r][c], r + 2, c);
            rows[r][c]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        }
    results->setColumnStretch(1, 1);
    results->setColumnStretch(2, 1);
    results->setColumnStretch(3, 1);

    Label5 = MakeLabel(this, QStringLiteral("Label5"));
    Label5->setWordWrap(true);
    Label5->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    Label5->setMinimumWidth(std::min(260, available / 3));
    locationpic = new LocationPlot(this);

    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Solve"));
    addbut = MakeButton(this, QStringLiteral("addbut"), QStringLiteral("&Add Facility"));
    rembut = MakeButton(this, QStringLiteral("rembut"), QStringLiteral("&Remove Facility"));
    Savebut = MakeButton(this, QStringLiteral("Savebut"), QStringLiteral("Sa&ve"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    donebut = MakeButton(this, QStringLiteral("donebut"), QStringLiteral("&Done"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {okbut, addbut, rembut, Savebut, backbut})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(donebut);

    auto* left = new QVBoxLayout;
    left->addWidget(scroll, 1);
    // The results scroll on a small or scaled screen rather than squeeze their rows.
    resultspage_ = ScrollingPage(this, results);
    left->addWidget(resultspage_);
    auto* right = new QVBoxLayout;
    // The instructions scroll on a small screen rather than push the buttons away.
    auto* note = new QVBoxLayout;
    note->addWidget(Label5);
    notepage_ = ScrollingPage(this, note);
    right->addWidget(notepage_);
    right->addWidget(locationpic, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    connect(okbut, &QPushButton::clicked, this, &sfgridfrm::okbut_Click);
    connect(addbut, &QPushButton::clicked, this, &sfgridfrm::addbut_Click);
    connect(rembut, &QPushButton::clicked, this, &sfgridfrm::rembut_Click);
    connect(Savebut, &QPushButton::clicked, this, &sfgridfrm::Savebut_Click);
    AddExportButton(Savebut, state_,
                    {RowsExport(
                         QStringLiteral("optimal locations"), [this] { return resultRows(); },
                         [this] { return resultFullColumns(); }),
                     PictureExport(QStringLiteral("location picture"), locationpic)});
    connect(backbut, &QPushButton::clicked, this, &sfgridfrm::backbut_Click);
    connect(donebut, &QPushButton::clicked, this, &sfgridfrm::donebut_Click);

    // The load: edit state, instructions, rows 1..n filled from the facility table.
    const std::string lineBreaks(2, state_.LineBreak);
    std::string instructions;
    for (const char* paragraph : kSfGridInstructions)
        instructions += (instructions.empty() ? "" : lineBreaks) + paragraph;
    Label5->setText(DisplayText(instructions));
    const auto boxes = TableBoxes(state_.sf);
    for (int r = 0; r < kMaxFacilities; ++r) {
        const bool shown = r < static_cast<int>(boxes.size());
        Label1[r]->setVisible(shown);
        for (int c = 0; c < 3; ++c) {
            gridinputtxt[3 * r + c]->setVisible(shown);
            if (shown)
                gridinputtxt[3 * r + c]->setText(QString::fromStdString(boxes[r][c]));
        }
    }
    showEditState();
    // Tall enough for every row of the table where the screen has room (a scroll area alone
    // asks for about a dozen rows): the window's hint with the table asking for all its rows;
    // FitToScreen makes it smaller where it must.
    const int tableHeight = page->sizeHint().height() + 2 * scroll->frameWidth();
    const int minimum = scroll->minimumHeight();
    scroll->setMinimumHeight(tableHeight);
    const int wanted = sizeHint().height();
    scroll->setMinimumHeight(minimum);
    const int room = screen() ? screen()->availableGeometry().height() * 9 / 10 : wanted;
    resize(sizeHint().width() + 120, std::min(wanted, room));
    if (!boxes.empty())
        gridinputtxt[0]->setFocus();
}

void sfgridfrm::showEditState() {
    backbut->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{okbut, addbut, rembut, Label5, notepage_})
        w->show();
    resultspage_->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{
             Savebut, Label8, Label9, Label10, Label11, Label12, Label13, olrectxlbl, olrectylbl,
             oleuclxlbl, oleuclylbl, olsqeuxlbl, olsqeuylbl, objheadlbl, olrectobjlbl, oleuclobjlbl,
             olsqeuobjlbl, locationpic})
        w->hide();
    okbut->setDefault(true);
}

void sfgridfrm::showResultState() {
    for (QWidget* w : std::initializer_list<QWidget*>{addbut, rembut, Label5, notepage_, okbut})
        w->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{
             Savebut,      Label8,       Label9,      Label10,    Label11,
             Label12,      Label13,      olrectxlbl,  olrectylbl, oleuclxlbl,
             oleuclylbl,   olsqeuxlbl,   olsqeuylbl,  objheadlbl, olrectobjlbl,
             oleuclobjlbl, olsqeuobjlbl, locationpic, backbut,    resultspage_})
        w->show();
    // What is shown is what was solved and what Save writes: corrections go through Back.
    for (QLineEdit* box : gridinputtxt)
        box->setReadOnly(true);
    backbut->setDefault(true);
    backbut->setFocus();
    // The results and the picture take room the editing state did not need: grow to show
    // them beside a readable table, within the screen.
    resize(size().expandedTo(sizeHint()));
    FitToScreen(this);
}

void sfgridfrm::okbut_Click() {
    std::vector<FacilityBoxes> typed;
    for (int r = 0; r < state_.sf.ExistingFacilityCount && r < kMaxFacilities; ++r)
        typed.push_back({gridinputtxt[3 * r]->text().toStdString(),
                         gridinputtxt[3 * r + 1]->text().toStdString(),
                         gridinputtxt[3 * r + 2]->text().toStdString()});
    StoreTableBoxes(state_.sf, typed);
    auto solved = SolveSingleFacility(state_.sf);
    if (!solved) {
        ShowMessage(this, solved.message());
        return;
    }
    const SfLabels labels = SolutionLabels(*solved);
    QLabel* const targets[] = {olrectxlbl, olrectylbl, oleuclxlbl,
                               oleuclylbl, olsqeuxlbl, olsqeuylbl};
    for (std::size_t k = 0; k < labels.size(); ++k)
        targets[k]->setText(QString::fromStdString(labels[k]));
    const auto objectives = ObjectiveTexts(*solved);
    olrectobjlbl->setText(QString::fromStdString(objectives[0]));
    oleuclobjlbl->setText(QString::fromStdString(objectives[1]));
    olsqeuobjlbl->setText(QString::fromStdString(objectives[2]));
    locationpic->setPicture(MakeLocationPicture(state_.sf, *solved));
    solved_ = *solved;
    showResultState();
}

CsvRows sfgridfrm::resultRows() const {
    CsvRows rows{{QString(), Label8->text(), Label9->text(), objheadlbl->text()}};
    const QLabel* const shown[3][4] = {{Label11, olrectxlbl, olrectylbl, olrectobjlbl},
                                       {Label12, oleuclxlbl, oleuclylbl, oleuclobjlbl},
                                       {Label13, olsqeuxlbl, olsqeuylbl, olsqeuobjlbl}};
    for (const auto& row : shown) {
        QStringList texts;
        for (const QLabel* label : row)
            texts << label->text().trimmed();
        rows << texts;
    }
    return rows;
}

std::vector<FullColumn> sfgridfrm::resultFullColumns() const {
    if (!solved_)
        return {};
    const SfSolution& s = *solved_;
    // The Euclidean points are single-precision stores: their doubles are exactly those.
    std::vector<FullColumn> columns{{1, {s.rectX.low, double(s.euclX), double(s.sqeuX)}},
                                    {2, {s.rectY.low, double(s.euclY), double(s.sqeuY)}},
                                    {3, {s.rectObjective, s.euclObjective, s.sqeuObjective}}};
    // A rectilinear answer may be a whole range ("2.000***5.000"): its upper ends beside.
    if (s.rectX.range)
        columns.push_back({1, {s.rectX.high}, QStringLiteral("X upper end (full precision)")});
    if (s.rectY.range)
        columns.push_back({2, {s.rectY.high}, QStringLiteral("Y upper end (full precision)")});
    return columns;
}

void sfgridfrm::addbut_Click() {
    if (Status added = AddFacility(state_.sf); !added) {
        ShowMessage(this, added.message());
        return;
    }
    HandOver<sfinputdatafrm>(this, state_);
}

void sfgridfrm::rembut_Click() {
    HandOver<sfremvfrm>(this, state_);
}

void sfgridfrm::Savebut_Click() {
    SaveProblemAs(state_, this, [this] { return WriteSfFile(state_); });
}

void sfgridfrm::backbut_Click() {
    HandOver<sfgridfrm>(this, state_);
}

void sfgridfrm::donebut_Click() {
    accept();
}

} // namespace davrenta

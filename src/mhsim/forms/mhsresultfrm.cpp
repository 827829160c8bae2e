#include "mhsim/forms/mhsresultfrm.h"

#include <algorithm>
#include <array>
#include <tuple>

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>

#include "mhsim/capacity.h"
#include "mhsim/forms/mhscomparefrm.h"
#include "mhsim/forms/mhsprecisefrm.h"
#include "mhsim/forms/runner.h"
#include "mhsim/problemfile.h"
#include "mhsim/texts.h"
#include "shell/controls.h"
#include "shell/exporter.h"
#include "shell/messages.h"
#include "shell/printing.h"
#include "shell/windowkit.h"

namespace davrenta {

namespace {

// A box never narrower than the figure it shows, however little room the window has, and no
// wider than a usual figure needs, so that the results fit beside their labels.
void ShowWhole(QLineEdit* box) {
    const QFontMetrics metrics = box->fontMetrics();
    const int margin = metrics.horizontalAdvance(QLatin1Char('M')) + 6;
    const int least = metrics.horizontalAdvance(box->text()) + margin;
    box->setMinimumWidth(least);
    box->setMaximumWidth(
        std::max(least, metrics.horizontalAdvance(QStringLiteral("0000.00")) + margin));
}

// The mean, standard deviation and half-width of a results row, as the run computed them.
std::array<double, 3> RowFigures(const MhSimState& m, const std::string& field) {
    if (field == "numserv")
        return {m.NumServMean, m.NumServStd, m.NumServHalf};
    if (field == "linelen")
        return {m.LineLenMean, m.LineLenStd, m.LineLenHalf};
    if (field == "wait")
        return {m.WaitMean, m.WaitStd, m.WaitHalf};
    if (field == "propbusy")
        return {m.PropBusyMean, m.PropBusyStd, m.PropBusyHalf};
    if (field == "overtime")
        return {m.OvertimeMean, m.OvertimeStd, m.OvertimeHalf};
    return {m.TurnawayMean, m.TurnawayStd, m.TurnawayHalf};
}

} // namespace

MhsResultsWindow::MhsResultsWindow(ModuleState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    const MhSimState& mhs = state_.mhs;
    const MhsResultsTexts t = OpenMhsResults(mhs);
    SetUpWindow(this, Q(ResultsWindowName(mhs.SimOption)), Q(t.caption));

    auto* inputs = new QGridLayout;
    int row = 0;
    const auto input = [&](const QString& name, QLabel* label) {
        QLineEdit* box = field(name);
        label->setWordWrap(true);
        box->setAccessibleName(label->text());
        label->setBuddy(box);
        inputs->addWidget(label, row, 0);
        inputs->addWidget(box, row, 1);
        ++row;
        return box;
    };
    const auto label = [this](const char* name, const char* text) {
        return MakeLabel(this, QString::fromLatin1(name), QString::fromLatin1(text));
    };
    input(QStringLiteral("daystxt"), label("dayslbl", "Number of simulation cycles"));
    input(QStringLiteral("lsimtxt"),
          label("lsimlbl", "Length of simulation cycle (hours per day)"));
    input(QStringLiteral("afreqtxt"), label("afreqlbl", "Demand Rate (demands/hours)"));
    input(QStringLiteral("nservtxt"), label("nservlbl", "Number of servers"));
    wspacelbl = label("wspacelbl", "Specified maximum queue length");
    input(QStringLiteral("wspacetxt"), wspacelbl);
    input(QStringLiteral("sflagtxt"), label("sflaglbl", "Service Time Distribution"));
    svcalbl = MakeLabel(this, QStringLiteral("svcalbl"), Q(t.labels.a));
    svcblbl = MakeLabel(this, QStringLiteral("svcblbl"), Q(t.labels.b));
    input(QStringLiteral("svcatxt"), svcalbl);
    QLineEdit* b = input(QStringLiteral("svcbtxt"), svcblbl);
    svcblbl->setVisible(t.labels.bShown);
    b->setVisible(t.labels.bShown);
    wspacelbl->setVisible(t.showQueueLimit);
    field(QStringLiteral("wspacetxt"))->setVisible(t.showQueueLimit);
    input(QStringLiteral("seedtxt"), label("seedlbl", "Seed"));

    auto* results = new QGridLayout;
    // Headings and row labels wrap at their blanks on a narrow screen, so that every figure
    // stays in view beside them.
    for (const auto& [name, text, column] :
         {std::tuple{"meanlbl", "Mean", 1}, std::tuple{"stdlbl", "Std. Dev.", 2},
          std::tuple{"halflbl", "95% half-width", 3}}) {
        QLabel* heading = label(name, text);
        heading->setWordWrap(true);
        results->addWidget(heading, 0, column, Qt::AlignBottom);
    }
    int r = 1;
    for (const MhsResultRow& rr : t.rows) {
        QLabel* l = MakeLabel(this, Q(rr.field + "lbl"), Q(rr.label));
        l->setWordWrap(true);
        results->addWidget(l, r, 0);
        int c = 1;
        for (const char* suffix : {"meantxt", "stdtxt", "halftxt"}) {
            QLineEdit* box = field(Q(rr.field + suffix));
            box->setAccessibleName(Q(rr.label) + QStringLiteral(" ") +
                                   (c == 1   ? QStringLiteral("mean")
                                    : c == 2 ? QStringLiteral("standard deviation")
                                             : QStringLiteral("95% half-width")));
            results->addWidget(box, r, c++);
        }
        ++r;
    }
    maxlinelbl = label("maxlinelbl", "Maximum observed line length");
    maxlinelbl->setWordWrap(true);
    QLineEdit* maxline = field(QStringLiteral("maxlinetxt"));
    maxline->setAccessibleName(maxlinelbl->text());
    results->addWidget(maxlinelbl, r, 0);
    results->addWidget(maxline, r, 1);
    maxlinelbl->setVisible(t.showMaxLine);
    maxline->setVisible(t.showMaxLine);
    preciselbl = MakeLabel(this, QStringLiteral("preciselbl"));
    preciselbl->setWordWrap(true);

    chartlst = new QComboBox(this);
    NameControl(chartlst, QStringLiteral("chartlst"), QStringLiteral("Measure shown in the chart"));
    for (const auto& [measure, title] : ChartMeasures(mhs.SimOption))
        chartlst->addItem(Q(title), static_cast<int>(measure));
    histchart = new QChartView(this);
    NameControl(histchart, QStringLiteral("histchart"), QStringLiteral("Histogram of the cycles"));
    histchart->setMinimumSize(300, 230);

    prntbut = MakeButton(this, QStringLiteral("prntbut"), QStringLiteral("&Print"));
    savebut = MakeButton(this, QStringLiteral("savebut"), QStringLiteral("&Save"));
    chgbut = MakeButton(this, QStringLiteral("chgbut"), QStringLiteral("&Change"));
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&New"));
    comparebut = MakeButton(this, QStringLiteral("comparebut"), QStringLiteral("Compare ser&vers"));
    precisebut =
        MakeButton(this, QStringLiteral("precisebut"), QStringLiteral("Run &until precise"));
    chgbut->setDefault(true);

    // The results come first, where the window opens: the means, deviations and half-widths,
    // then the histogram (beside them on a wide screen, below on a narrow one), then the run's
    // inputs.
    auto* resultsColumn = new QVBoxLayout;
    resultsColumn->addLayout(results);
    resultsColumn->addWidget(preciselbl);
    resultsColumn->addStretch();
    auto* chartColumn = new QVBoxLayout;
    chartColumn->addWidget(chartlst);
    chartColumn->addWidget(histchart, 1);
    auto* body = new QGridLayout;
    const QScreen* screen = this->screen();
    const bool wide = !screen || screen->availableGeometry().width() >= 1000;
    body->addLayout(resultsColumn, 0, 0);
    if (wide) {
        body->addLayout(chartColumn, 0, 1, 2, 1);
        body->addLayout(inputs, 1, 0);
        body->setColumnStretch(1, 1);
    } else {
        body->addLayout(chartColumn, 1, 0);
        body->addLayout(inputs, 2, 0);
    }
    body->setRowStretch(1, 1);
    body->setVerticalSpacing(12);
    auto* studyButtons = new QHBoxLayout;
    studyButtons->addStretch();
    studyButtons->addWidget(comparebut);
    studyButtons->addWidget(precisebut);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {prntbut, savebut, chgbut, okbut})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ScrollingPage(this, body), 1);
    layout->addLayout(studyButtons);
    layout->addLayout(buttons);

    connect(prntbut, &QPushButton::clicked, this, &MhsResultsWindow::prntbut_Click);
    ExportItem histogram = PictureExport(QStringLiteral("histogram"), histchart);
    histogram.shownRows = [this] { return histogramRows(); };
    AddExportButton(prntbut, state_,
                    {RowsExport(
                         QStringLiteral("results"), [this] { return resultRows(); },
                         [this] { return resultFullColumns(); }),
                     histogram});
    connect(savebut, &QPushButton::clicked, this, &MhsResultsWindow::savebut_Click);
    connect(chgbut, &QPushButton::clicked, this, &MhsResultsWindow::chgbut_Click);
    connect(okbut, &QPushButton::clicked, this, &MhsResultsWindow::okbut_Click);
    connect(comparebut, &QPushButton::clicked, this, &MhsResultsWindow::comparebut_Click);
    connect(precisebut, &QPushButton::clicked, this, &MhsResultsWindow::precisebut_Click);
    connect(chartlst, &QComboBox::currentIndexChanged, this, &MhsResultsWindow::chartlst_Click);
    fill();
    // As tall as the page wants where the screen has room, so that nothing needs scrolling.
    if (screen)
        resize(sizeHint().boundedTo(screen->availableGeometry().size() - QSize(40, 80)));
}

void MhsResultsWindow::fill() {
    const MhsResultsTexts t = OpenMhsResults(state_.mhs);
    const std::pair<const char*, const std::string*> inputs[] = {
        {"daystxt", &t.daystxt},      {"lsimtxt", &t.lsimtxt},     {"afreqtxt", &t.afreqtxt},
        {"nservtxt", &t.nservtxt},    {"wspacetxt", &t.wspacetxt}, {"sflagtxt", &t.sflagtxt},
        {"svcatxt", &t.svcatxt},      {"svcbtxt", &t.svcbtxt},     {"seedtxt", &t.seedtxt},
        {"maxlinetxt", &t.maxlinetxt}};
    for (const auto& [name, text] : inputs)
        field(QString::fromLatin1(name))->setText(Q(*text));
    ShowWhole(field(QStringLiteral("maxlinetxt")));
    for (const MhsResultRow& rr : t.rows) {
        const std::pair<const char*, const std::string*> cells[] = {
            {"meantxt", &rr.mean}, {"stdtxt", &rr.std}, {"halftxt", &rr.half}};
        for (const auto& [suffix, text] : cells) {
            QLineEdit* box = field(Q(rr.field + suffix));
            box->setText(Q(*text));
            ShowWhole(box);
        }
    }
    QStringList note;
    for (const std::string& line : PreciseLines(state_.mhs))
        note << Q(line);
    preciselbl->setText(note.join(QLatin1Char(' ')));
    preciselbl->setVisible(!note.isEmpty());
    chartlst_Click();
}

CsvRows MhsResultsWindow::resultRows() {
    CsvRows rows{{QStringLiteral("Measure"), QStringLiteral("Mean"), QStringLiteral("Std. Dev."),
                  QStringLiteral("95% half-width")}};
    for (const MhsResultRow& rr : OpenMhsResults(state_.mhs).rows) {
        QStringList row{Q(rr.label)};
        for (const char* suffix : {"meantxt", "stdtxt", "halftxt"})
            row << field(Q(rr.field + suffix))->text();
        rows << row;
    }
    if (maxlinelbl->isVisibleTo(this))
        rows << QStringList{maxlinelbl->text(), field(QStringLiteral("maxlinetxt"))->text(),
                            QString(), QString()};
    return rows;
}

std::vector<FullColumn> MhsResultsWindow::resultFullColumns() {
    std::vector<FullColumn> columns{{1, {}}, {2, {}}, {3, {}}};
    for (const MhsResultRow& rr : OpenMhsResults(state_.mhs).rows) {
        const std::array<double, 3> figures = RowFigures(state_.mhs, rr.field);
        for (std::size_t k = 0; k < 3; ++k)
            columns[k].values.push_back(figures[k]);
    }
    return columns; // the maximum line length is a whole number, shown whole
}

CsvRows MhsResultsWindow::histogramRows() {
    const auto measure = static_cast<ChartMeasure>(chartlst->currentData().toInt());
    const Histogram h = MakeHistogram(state_.mhs.CycleValues, measure);
    CsvRows rows{{chartlst->currentText(), QStringLiteral("Cycles")}};
    for (std::size_t k = 0; k < h.counts.size(); ++k)
        rows << QStringList{Q(h.labels[k]), QString::number(h.counts[k])};
    return rows;
}

QLineEdit* MhsResultsWindow::field(const QString& name) {
    auto it = fields.find(name);
    if (it != fields.end())
        return it->second;
    QLineEdit* box = MakeTextBox(this, name, name);
    box->setReadOnly(true);
    fields[name] = box;
    return box;
}

void MhsResultsWindow::chartlst_Click() {
    const auto measure = static_cast<ChartMeasure>(chartlst->currentData().toInt());
    const Histogram h = MakeHistogram(state_.mhs.CycleValues, measure);
    auto* set = new QBarSet(chartlst->currentText());
    QStringList categories;
    long long most = 0;
    for (std::size_t k = 0; k < h.counts.size(); ++k) {
        *set << static_cast<double>(h.counts[k]);
        categories << Q(h.labels[k]);
        most = std::max(most, h.counts[k]);
    }
    auto* series = new QBarSeries;
    series->append(set);
    series->setBarWidth(1.0);
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->legend()->hide();
    QString title = chartlst->currentText();
    if (h.cycles < static_cast<long long>(state_.mhs.SimCycles))
        title += QStringLiteral(" (first %1 cycles)").arg(h.cycles);
    chart->setTitle(title);
    // Every bin, or every second or third from the first, carries its range; the others a
    // blank of their own (the axis keeps one category per distinct text).
    const int every = BinLabelEvery(h.counts.size());
    for (int k = 0; k < categories.size(); ++k)
        if (k % every != 0)
            categories[k] = QString(k + 1, QLatin1Char(' '));
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    x->setLabelsAngle(-90);
    // Charts elide angled category labels by the bar's width, which leaves only "..." here.
    x->setTruncateLabels(false);
    auto* y = new QValueAxis;
    const CountAxis counts = CountAxisFor(most);
    y->setRange(0, static_cast<double>(counts.top));
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(0);
    y->setTickInterval(static_cast<double>(counts.step));
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTitleText(QStringLiteral("Cycles"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    QChart* old = histchart->chart();
    histchart->setChart(chart);
    delete old;
}

void MhsResultsWindow::prntbut_Click() {
    PrintReport(this, MhsReport(state_.mhs), ReportPdfPath(state_, QStringLiteral("simulation")));
}

void MhsResultsWindow::savebut_Click() {
    if (!ChooseFileToSave(state_, this))
        return;
    if (Status saved = WriteMhsFile(state_); !saved)
        ShowMessage(this, saved.message());
}

void MhsResultsWindow::comparebut_Click() {
    OpenModal<mhscomparefrm>(state_, this);
}

void MhsResultsWindow::precisebut_Click() {
    if (OpenModal<mhsprecisefrm>(state_, this) == QDialog::Accepted)
        fill();
}

void MhsResultsWindow::chgbut_Click() {
    done(kResultsChange);
}

void MhsResultsWindow::okbut_Click() {
    done(kResultsNew);
}

void MhsResultsWindow::reject() {
    done(kResultsChange);
}

mhsresult1frm::mhsresult1frm(ModuleState& state, QWidget* parent)
    : MhsResultsWindow(state, parent) {}
mhsresult2frm::mhsresult2frm(ModuleState& state, QWidget* parent)
    : MhsResultsWindow(state, parent) {}
mhsresult3frm::mhsresult3frm(ModuleState& state, QWidget* parent)
    : MhsResultsWindow(state, parent) {}
mhsresult4frm::mhsresult4frm(ModuleState& state, QWidget* parent)
    : MhsResultsWindow(state, parent) {}

int OpenResultsWindow(ModuleState& state, QWidget* from) {
    switch (state.mhs.SimOption) {
    case 2:
        return OpenModal<mhsresult2frm>(state, from);
    case 3:
        return OpenModal<mhsresult3frm>(state, from);
    case 4:
        return OpenModal<mhsresult4frm>(state, from);
    default:
        return OpenModal<mhsresult1frm>(state, from);
    }
}

} // namespace davrenta

#include "mhsim/forms/mhscomparefrm.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPen>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include "mhsim/engine.h"
#include "mhsim/forms/runner.h"
#include "mhsim/parameters.h"
#include "mhsim/texts.h"
#include "shell/controls.h"
#include "shell/exporter.h"
#include "shell/messages.h"
#include "shell/printing.h"
#include "shell/windowkit.h"
#include "state/numbers.h"
#include "state/records.h"

namespace davrenta {

namespace {

// A measure as the table and the chart show it: its title, and its mean, half-width and
// long-day value (none where theory gives none) for a row.
struct Column {
    SimMeasure measure;
    QString title;
    bool theory; // theory gives its long-day value
};

std::vector<Column> Columns(int option) {
    std::vector<Column> c = {
        {SimMeasure::Wait, QStringLiteral("Wait time per service (minutes)"), true},
        {SimMeasure::LineLen, QStringLiteral("Line length per cycle"), true},
        {SimMeasure::PropBusy, QStringLiteral("Proportion busy time"), true},
        {SimMeasure::Served, QStringLiteral("Number served per cycle"), false}};
    if (option == 2 || option == 4)
        c.push_back(
            {SimMeasure::Overtime, QStringLiteral("Overtime hours required per cycle"), false});
    if (option >= 3)
        c.push_back({SimMeasure::Turnaways, QStringLiteral("Turn aways per cycle"), true});
    return c;
}

// The long-day value of a measure, when theory gives a finite one.
std::optional<double> LongDay(const MhSimState& m, SimMeasure measure) {
    const std::optional<LongDayValues> v = LongDayTheory(m);
    if (!v || !v->bounded)
        return std::nullopt;
    switch (measure) {
    case SimMeasure::Wait:
        return v->waitMinutes;
    case SimMeasure::LineLen:
        return v->lineLength;
    case SimMeasure::PropBusy:
        return v->propBusy;
    case SimMeasure::Turnaways:
        return v->turnawaysPerCycle;
    default:
        return std::nullopt;
    }
}

QString Shown(double mean, double half) {
    return Q(WithHalfWidth(mean, half)).replace(QStringLiteral(" +/- "), QStringLiteral(" ± "));
}

} // namespace

mhscomparefrm::mhscomparefrm(ModuleState& state, QWidget* parent)
    : RunningDialog(parent), state_(state) {
    const MhSimState& mhs = state_.mhs;
    SetUpWindow(this, QStringLiteral("mhscomparefrm"), QStringLiteral("Compare servers"));
    const int s = static_cast<int>(mhs.NumServers);
    auto* fromlbl =
        MakeLabel(this, QStringLiteral("fromlbl"), QStringLiteral("Number of servers &from"));
    fromtxt =
        MakeTextBox(this, QStringLiteral("fromtxt"), QStringLiteral("Number of servers from"));
    fromtxt->setText(QString::number(std::max(1, s - 3)));
    fromlbl->setBuddy(fromtxt);
    auto* tolbl = MakeLabel(this, QStringLiteral("tolbl"), QStringLiteral("&to"));
    totxt = MakeTextBox(this, QStringLiteral("totxt"), QStringLiteral("Number of servers to"));
    totxt->setText(QString::number(std::min(kMaxServers, std::max(1, s - 3) + 6)));
    tolbl->setBuddy(totxt);
    auto* targetlbl = MakeLabel(this, QStringLiteral("targetlbl"), QStringLiteral("T&arget"));
    targetlst = new QComboBox(this);
    NameControl(targetlst, QStringLiteral("targetlst"), QStringLiteral("Target"));
    targetlst->addItem(QStringLiteral("None"), static_cast<int>(TargetKind::None));
    targetlst->addItem(QStringLiteral("Average wait at most (minutes)"),
                       static_cast<int>(TargetKind::Wait));
    if (mhs.SimOption >= 3)
        targetlst->addItem(QStringLiteral("Turn-aways at most (per cycle)"),
                           static_cast<int>(TargetKind::Turnaways));
    targetlbl->setBuddy(targetlst);
    targettxt = MakeTextBox(this, QStringLiteral("targettxt"), QStringLiteral("Target value"));
    targettxt->setEnabled(false);
    auto* seedlbl = MakeLabel(this, QStringLiteral("seedlbl"),
                              QStringLiteral("S&eed (empty: the time of day)"));
    seedtxt = MakeTextBox(this, QStringLiteral("seedtxt"), QStringLiteral("Seed"));
    seedtxt->setText(Q(std::to_string(mhs.Seed)));
    seedlbl->setBuddy(seedtxt);
    auto* cycleslbl = MakeLabel(this, QStringLiteral("cycleslbl"),
                                QStringLiteral("Each number of servers runs %1 cycles of the "
                                               "problem, on the same random numbers.")
                                    .arg(Q(PlainForm(mhs.SimCycles))));
    cycleslbl->setWordWrap(true);

    summarylbl = MakeLabel(this, QStringLiteral("summarylbl"));
    summarylbl->setWordWrap(true);
    theorylbl = MakeLabel(this, QStringLiteral("theorylbl"));
    theorylbl->setWordWrap(true);
    comparegrid = new QTableWidget(this);
    NameControl(comparegrid, QStringLiteral("comparegrid"),
                QStringLiteral("Results by number of servers"));
    comparegrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    comparegrid->verticalHeader()->hide();
    comparegrid->setMinimumHeight(120);
    measurelst = new QComboBox(this);
    NameControl(measurelst, QStringLiteral("measurelst"),
                QStringLiteral("Measure shown in the chart"));
    for (const Column& c : Columns(mhs.SimOption))
        measurelst->addItem(c.title, static_cast<int>(c.measure));
    comparechart = new QChartView(this);
    NameControl(comparechart, QStringLiteral("comparechart"),
                QStringLiteral("Chart of a measure by number of servers"));
    comparechart->setMinimumSize(300, 260);
    comparebar = new QProgressBar(this);
    NameControl(comparebar, QStringLiteral("comparebar"), QStringLiteral("Cycles simulated"));
    comparebar->hide();
    comparebut = MakeButton(this, QStringLiteral("comparebut"), QStringLiteral("Co&mpare"));
    cancelbut = MakeButton(this, QStringLiteral("cancelbut"), QStringLiteral("&Cancel"));
    cancelbut->hide();
    prntbut = MakeButton(this, QStringLiteral("prntbut"), QStringLiteral("&Print"));
    prntbut->setEnabled(false);
    // Offered once there is a comparison to print.
    exportbut = MakeExportButton(
        this, state_,
        {RowsExport(
             QStringLiteral("server comparison"), [this] { return TableRows(comparegrid); },
             [this] { return fullColumns(); }),
         PictureExport(QStringLiteral("server chart"), comparechart)},
        prntbut);
    closebut = MakeButton(this, QStringLiteral("closebut"), QStringLiteral("Cl&ose"));
    comparebut->setDefault(true);

    auto* inputs = new QGridLayout;
    inputs->addWidget(fromlbl, 0, 0);
    inputs->addWidget(fromtxt, 0, 1);
    inputs->addWidget(tolbl, 0, 2);
    inputs->addWidget(totxt, 0, 3);
    inputs->addWidget(targetlbl, 1, 0);
    inputs->addWidget(targetlst, 1, 1, 1, 2);
    inputs->addWidget(targettxt, 1, 3);
    inputs->addWidget(seedlbl, 2, 0);
    inputs->addWidget(seedtxt, 2, 1, 1, 4);
    inputs->addWidget(cycleslbl, 3, 0, 1, 5);
    inputs->setColumnStretch(4, 1);
    // Boxes as wide as their numbers need, so that the page fits a narrow screen.
    const QFontMetrics metrics = fontMetrics();
    const int number = metrics.horizontalAdvance(QStringLiteral("0000000")) + 16;
    for (QLineEdit* box : {fromtxt, totxt, targettxt})
        box->setMaximumWidth(number);
    seedtxt->setMaximumWidth(metrics.horizontalAdvance(QStringLiteral("18446744073709551615")) +
                             16);
    seedlbl->setWordWrap(true);
    targetlbl->setWordWrap(true);
    fromlbl->setWordWrap(true);
    auto* content = new QVBoxLayout;
    content->addLayout(inputs);
    content->addWidget(summarylbl);
    content->addWidget(comparegrid);
    content->addWidget(theorylbl);
    content->addWidget(measurelst);
    content->addWidget(comparechart, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ScrollingPage(this, content), 1);
    layout->addWidget(comparebar);
    layout->addLayout(ButtonRows(this, {cancelbut, comparebut, prntbut, exportbut, closebut}));

    connect(targetlst, &QComboBox::currentIndexChanged, this,
            [this] { targettxt->setEnabled(targetlst->currentIndex() > 0); });
    connect(comparebut, &QPushButton::clicked, this, &mhscomparefrm::comparebut_Click);
    connect(cancelbut, &QPushButton::clicked, this, &mhscomparefrm::cancelbut_Click);
    connect(prntbut, &QPushButton::clicked, this, &mhscomparefrm::prntbut_Click);
    connect(closebut, &QPushButton::clicked, this, &QDialog::reject);
    connect(measurelst, &QComboBox::currentIndexChanged, this, &mhscomparefrm::measurelst_Click);
    showRows();
    fromtxt->setFocus();
    if (const QScreen* screen = this->screen())
        resize(QSize(960, 780).boundedTo(screen->availableGeometry().size() - QSize(40, 80)));
}

void mhscomparefrm::comparebut_Click() {
    const double from = BoxNumber(fromtxt), to = BoxNumber(totxt);
    if (!(from == std::floor(from) && to == std::floor(to) && from >= 1 && to <= kMaxServers &&
          from <= to)) {
        ShowMessage(this, "The numbers of servers to compare must run from a smaller to a larger "
                          "whole number, within 1 to 98.");
        return;
    }
    CapacityTarget target;
    target.kind = static_cast<TargetKind>(targetlst->currentData().toInt());
    if (target.kind != TargetKind::None) {
        target.value = BoxNumber(targettxt);
        if (!(target.value >= 0) || !std::isfinite(target.value)) {
            ShowMessage(this, "The target must be a number of at least 0.");
            return;
        }
    }
    const Result<std::uint64_t> seed = ParseSeed(seedtxt->text().toStdString());
    if (!seed) {
        ShowMessage(this, seed.message());
        return;
    }
    const int first = static_cast<int>(from), last = static_cast<int>(to);
    if (Status valid = ValidateSweep(state_.mhs, first, last); !valid) {
        ShowMessage(this, valid.message());
        return;
    }
    summarylbl->clear();
    std::vector<MhSimState> rows;
    const MhSimState problem = state_.mhs;
    const RunOutcome outcome = runInBackground(
        {comparebar,
         cancelbut,
         {comparebut, prntbut, closebut, fromtxt, totxt, targetlst, targettxt, seedtxt},
         {}},
        static_cast<long long>(problem.SimCycles) * (last - first + 1),
        [&](const RunControl& control) {
            return RunServerSweep(problem, first, last, *seed, control, rows);
        });
    if (outcome.status == RunStatus::Cancelled) {
        summarylbl->setText(QStringLiteral("The comparison was cancelled."));
        return;
    }
    if (outcome.status == RunStatus::Refused) {
        ShowMessage(this, outcome.message);
        return;
    }
    rows_ = std::move(rows);
    target_ = target;
    showRows();
}

void mhscomparefrm::showRows() {
    const int option = state_.mhs.SimOption;
    const std::vector<Column> columns = Columns(option);
    bool anyTheory = false;
    for (const MhSimState& m : rows_)
        anyTheory = anyTheory || LongDayTheory(m).has_value();
    const bool marks = target_.kind != TargetKind::None;
    QStringList headings{QStringLiteral("Servers")};
    for (const Column& c : columns)
        headings << c.title;
    if (option <= 2)
        headings << QStringLiteral("Maximum observed line length");
    if (anyTheory)
        headings << QStringLiteral("Wait, long days") << QStringLiteral("Line length, long days");
    if (marks)
        headings << QStringLiteral("Target");
    comparegrid->clear();
    comparegrid->setColumnCount(static_cast<int>(headings.size()));
    comparegrid->setHorizontalHeaderLabels(headings);
    comparegrid->setRowCount(static_cast<int>(rows_.size()));
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        const MhSimState& m = rows_[k];
        int c = 0;
        const auto cell = [&](const QString& text) {
            auto* item = new QTableWidgetItem(text);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            comparegrid->setItem(static_cast<int>(k), c++, item);
        };
        cell(Q(PlainForm(m.NumServers)));
        for (const Column& col : columns) {
            double mean = 0, half = 0;
            MeanAndHalf(m, col.measure, mean, half);
            cell(Shown(mean, half));
        }
        if (option <= 2)
            cell(QString::number(m.MaxLine));
        if (anyTheory) {
            const std::optional<LongDayValues> v = LongDayTheory(m);
            const auto longDay = [&](double LongDayValues::*f) {
                return !v           ? QString()
                       : v->bounded ? Q(FormatPicture(*v.*f, "0.00"))
                                    : QStringLiteral("none");
            };
            cell(longDay(&LongDayValues::waitMinutes));
            cell(longDay(&LongDayValues::lineLength));
        }
        if (marks)
            cell(Q(MarkText(rows_, target_, k)));
    }
    comparegrid->resizeColumnsToContents();
    comparegrid->resizeRowsToContents();
    summarylbl->setText(
        Q(TargetSummary(rows_, target_)).replace(QStringLiteral(" +/- "), QStringLiteral(" ± ")));
    summarylbl->setVisible(marks && !rows_.empty());
    QString theory;
    if (anyTheory)
        theory = option == 1 ? QStringLiteral("Long days: the value of the multi-server queue "
                                              "over a long day, for exponential service; "
                                              "\"none\" where the servers cannot keep up and the "
                                              "line grows without limit. A simulated day starts "
                                              "empty, so its mean lies a little below.")
                             : QStringLiteral("Long days: the value of the multi-server queue "
                                              "with a limited line over a long day, for "
                                              "exponential service. A simulated day starts "
                                              "empty, so its mean lies a little below.");
    theorylbl->setText(theory);
    theorylbl->setVisible(!theory.isEmpty());
    prntbut->setEnabled(!rows_.empty());
    measurelst_Click();
}

std::vector<FullColumn> mhscomparefrm::fullColumns() const {
    // The table shows each measure as "mean ± half-width", rounded: both at full precision
    // beside it. Its columns follow Columns() after the number of servers.
    std::vector<FullColumn> full;
    int c = 1;
    for (const Column& col : Columns(state_.mhs.SimOption)) {
        FullColumn mean{c, {}, col.title + QStringLiteral(" mean (full precision)")};
        FullColumn half{c, {}, col.title + QStringLiteral(" 95% half-width (full precision)")};
        for (const MhSimState& m : rows_) {
            double meanValue = 0, halfValue = 0;
            MeanAndHalf(m, col.measure, meanValue, halfValue);
            mean.values.push_back(meanValue);
            half.values.push_back(halfValue);
        }
        full.push_back(std::move(mean));
        full.push_back(std::move(half));
        ++c;
    }
    return full;
}

void mhscomparefrm::measurelst_Click() {
    const auto measure = static_cast<SimMeasure>(measurelst->currentData().toInt());
    auto* chart = new QChart;
    chart->setTitle(measurelst->currentText());
    auto* mean = new QLineSeries;
    mean->setName(QStringLiteral("Mean"));
    mean->setPointsVisible(true);
    auto* upper = new QLineSeries;
    upper->setName(QStringLiteral("95% interval"));
    auto* lower = new QLineSeries;
    auto* theory = new QLineSeries;
    theory->setName(QStringLiteral("Value for long days (theory)"));
    theory->setPointsVisible(true);
    auto* smallest = new QScatterSeries;
    auto* uncertain = new QScatterSeries;
    uncertain->setName(QStringLiteral("Uncertain"));
    uncertain->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    double top = 0;
    const std::optional<std::size_t> meets = SmallestMeeting(rows_, target_);
    const bool targetMeasure =
        (target_.kind == TargetKind::Wait && measure == SimMeasure::Wait) ||
        (target_.kind == TargetKind::Turnaways && measure == SimMeasure::Turnaways);
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        const MhSimState& m = rows_[k];
        double mu = 0, half = 0;
        MeanAndHalf(m, measure, mu, half);
        mean->append(m.NumServers, mu);
        upper->append(m.NumServers, mu + half);
        lower->append(m.NumServers, mu - half);
        top = std::max(top, mu + half);
        if (const std::optional<double> t = LongDay(m, measure)) {
            theory->append(m.NumServers, *t);
            top = std::max(top, *t);
        }
        if (targetMeasure && meets == k) {
            smallest->append(m.NumServers, mu);
            smallest->setName(QStringLiteral("Smallest meeting the target"));
        }
        if (targetMeasure && MarkAgainst(m, target_) == TargetMark::Uncertain)
            uncertain->append(m.NumServers, mu);
    }
    QPen band(QColor(90, 90, 90));
    band.setStyle(Qt::DashLine);
    upper->setPen(band);
    lower->setPen(band);
    QPen theoryPen(QColor(200, 80, 0));
    theoryPen.setWidth(2);
    theoryPen.setStyle(Qt::DotLine);
    theory->setPen(theoryPen);
    smallest->setMarkerSize(16);
    std::vector<QAbstractSeries*> series{mean, upper, lower};
    if (theory->count() > 0)
        series.push_back(theory);
    else
        delete theory;
    auto* targetLine = new QLineSeries;
    if (targetMeasure && !rows_.empty()) {
        targetLine->setName(QStringLiteral("Target"));
        targetLine->append(rows_.front().NumServers - 0.5, target_.value);
        targetLine->append(rows_.back().NumServers + 0.5, target_.value);
        QPen pen(QColor(0, 140, 0));
        pen.setStyle(Qt::DashDotLine);
        targetLine->setPen(pen);
        top = std::max(top, target_.value);
        series.push_back(targetLine);
    } else {
        delete targetLine;
    }
    if (smallest->count() > 0)
        series.push_back(smallest);
    else
        delete smallest;
    if (uncertain->count() > 0)
        series.push_back(uncertain);
    else
        delete uncertain;
    for (QAbstractSeries* s : series)
        chart->addSeries(s);
    chart->legend()->setAlignment(Qt::AlignBottom);
    // The lower bound of the interval carries no legend entry of its own.
    if (!chart->legend()->markers(lower).isEmpty())
        chart->legend()->markers(lower).front()->setVisible(false);

    auto* x = new QValueAxis;
    const double first = rows_.empty() ? state_.mhs.NumServers : rows_.front().NumServers;
    const double last = rows_.empty() ? state_.mhs.NumServers : rows_.back().NumServers;
    x->setRange(first - 0.5, last + 0.5);
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(first);
    x->setTickInterval(std::max(1.0, NiceStep(last - first)));
    x->setLabelFormat(QStringLiteral("%d"));
    x->setTitleText(QStringLiteral("Number of servers"));
    auto* y = new QValueAxis;
    const double step = NiceStep(top);
    y->setRange(0, std::max(step, std::ceil(top / step) * step));
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(0);
    y->setTickInterval(step);
    y->setLabelFormat(step >= 1 ? QStringLiteral("%.0f") : QStringLiteral("%.2f"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : series) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    QChart* old = comparechart->chart();
    comparechart->setChart(chart);
    delete old;
}

void mhscomparefrm::prntbut_Click() {
    PrintReport(this, ComparisonReport(rows_, target_),
                ReportPdfPath(state_, QStringLiteral("server-comparison")));
}

void mhscomparefrm::cancelbut_Click() {
    cancelRun();
}

} // namespace davrenta

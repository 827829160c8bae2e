#include "mhsim/forms/mhsresultfrm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>

#include "mhsim/problemfile.h"
#include "mhsim/texts.h"
#include "shell/controls.h"
#include "shell/exporter.h"
#include "shell/messages.h"
#include "shell/printing.h"
#include "shell/windowkit.h"

namespace davrenta {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A box never narrower than the figure it shows, however little room the window has.
void ShowWhole(QLineEdit* box) {
    const QFontMetrics metrics = box->fontMetrics();
    box->setMinimumWidth(metrics.horizontalAdvance(box->text()) +
                         metrics.horizontalAdvance(QLatin1Char('M')) + 6);
}

} // namespace

MhsResultsWindow::MhsResultsWindow(ModuleState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    const MhSimState& mhs = state_.mhs;
    const MhsResultsTexts t = OpenMhsResults(mhs);
    SetUpWindow(this, Q(ResultsWindowName(mhs.SimOption)), Q(t.caption));

    auto* inputs = new QGridLayout;
    int row = 0;
    const auto input = [&](const QString& name, QLabel* label, const std::string& value) {
        QLineEdit* box = field(name);
        box->setText(Q(value));
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
    input(QStringLiteral("daystxt"), label("dayslbl", "Number of simulation cycles"), t.daystxt);
    input(QStringLiteral("lsimtxt"), label("lsimlbl", "Length of simulation cycle (hours per day)"),
          t.lsimtxt);
    input(QStringLiteral("afreqtxt"), label("afreqlbl", "Demand Rate (demands/hours)"), t.afreqtxt);
    input(QStringLiteral("nservtxt"), label("nservlbl", "Number of servers"), t.nservtxt);
    wspacelbl = label("wspacelbl", "Specified maximum queue length");
    input(QStringLiteral("wspacetxt"), wspacelbl, t.wspacetxt);
    QLineEdit* sflag = input(QStringLiteral("sflagtxt"),
                             label("sflaglbl", "Service Time Distribution"), t.sflagtxt);
    if (t.sflagtxt.empty())
        sflag->clear();
    svcalbl = MakeLabel(this, QStringLiteral("svcalbl"), Q(t.labels.a));
    svcblbl = MakeLabel(this, QStringLiteral("svcblbl"), Q(t.labels.b));
    input(QStringLiteral("svcatxt"), svcalbl, t.svcatxt);
    QLineEdit* b = input(QStringLiteral("svcbtxt"), svcblbl, t.svcbtxt);
    svcblbl->setVisible(t.labels.bShown);
    b->setVisible(t.labels.bShown);
    wspacelbl->setVisible(t.showQueueLimit);
    field(QStringLiteral("wspacetxt"))->setVisible(t.showQueueLimit);
    input(QStringLiteral("seedtxt"), label("seedlbl", "Seed"), t.seedtxt);

    auto* results = new QGridLayout;
    results->addWidget(label("meanlbl", "Mean"), 0, 1);
    results->addWidget(label("stdlbl", "Std. Dev."), 0, 2);
    results->addWidget(label("halflbl", "95% half-width"), 0, 3);
    int r = 1;
    for (const MhsResultRow& rr : t.rows) {
        QLabel* l = MakeLabel(this, Q(rr.field + "lbl"), Q(rr.label));
        results->addWidget(l, r, 0);
        const std::pair<const char*, const std::string*> cells[] = {
            {"meantxt", &rr.mean}, {"stdtxt", &rr.std}, {"halftxt", &rr.half}};
        int c = 1;
        for (const auto& [suffix, text] : cells) {
            QLineEdit* box = field(Q(rr.field + suffix));
            box->setText(Q(*text));
            ShowWhole(box);
            box->setAccessibleName(Q(rr.label) + QStringLiteral(" ") +
                                   (c == 1   ? QStringLiteral("mean")
                                    : c == 2 ? QStringLiteral("standard deviation")
                                             : QStringLiteral("95% half-width")));
            results->addWidget(box, r, c++);
        }
        ++r;
    }
    maxlinelbl = label("maxlinelbl", "Maximum observed line length");
    QLineEdit* maxline = field(QStringLiteral("maxlinetxt"));
    maxline->setText(Q(t.maxlinetxt));
    ShowWhole(maxline);
    maxline->setAccessibleName(maxlinelbl->text());
    results->addWidget(maxlinelbl, r, 0);
    results->addWidget(maxline, r, 1);
    maxlinelbl->setVisible(t.showMaxLine);
    maxline->setVisible(t.showMaxLine);

    chartlst = new QComboBox(this);
    NameControl(chartlst, QStringLiteral("chartlst"), QStringLiteral("Measure shown in the chart"));
    for (const auto& [measure, title] : ChartMeasures(mhs.SimOption))
        chartlst->addItem(Q(title), static_cast<int>(measure));
    histchart = new QChartView(this);
    NameControl(histchart, QStringLiteral("histchart"), QStringLiteral("Histogram of the cycles"));
    histchart->setMinimumSize(420, 260);

    prntbut = MakeButton(this, QStringLiteral("prntbut"), QStringLiteral("&Print"));
    savebut = MakeButton(this, QStringLiteral("savebut"), QStringLiteral("&Save"));
    chgbut = MakeButton(this, QStringLiteral("chgbut"), QStringLiteral("&Change"));
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&New"));
    chgbut->setDefault(true);

    auto* left = new QVBoxLayout;
    left->addLayout(inputs);
    left->addSpacing(8);
    left->addLayout(results);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(chartlst);
    right->addWidget(histchart, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {prntbut, savebut, chgbut, okbut})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ScrollingPage(this, body), 1);
    layout->addLayout(buttons);

    connect(prntbut, &QPushButton::clicked, this, &MhsResultsWindow::prntbut_Click);
    AddExportButton(prntbut, state_, {PictureExport(QStringLiteral("histogram"), histchart)});
    connect(savebut, &QPushButton::clicked, this, &MhsResultsWindow::savebut_Click);
    connect(chgbut, &QPushButton::clicked, this, &MhsResultsWindow::chgbut_Click);
    connect(okbut, &QPushButton::clicked, this, &MhsResultsWindow::okbut_Click);
    connect(chartlst, &QComboBox::currentIndexChanged, this, &MhsResultsWindow::chartlst_Click);
    chartlst_Click();
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
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    x->setLabelsAngle(-60);
    // Charts elide angled category labels by the bar's width, which leaves only "..." here.
    x->setTruncateLabels(false);
    auto* y = new QValueAxis;
    y->setRange(0, static_cast<double>(std::max<long long>(most, 1)));
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

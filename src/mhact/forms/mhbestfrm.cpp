#include "mhact/forms/mhbestfrm.h"

#include <memory>

#include <QCloseEvent>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "mhact/activity.h"
#include "mhact/besttexts.h"
#include "mhact/forms/layoutpicture.h"
#include "mhact/forms/resultgrid.h"
#include "mhact/forms/windowparts.h"
#include "shell/controls.h"
#include "shell/exporter.h"
#include "shell/grid.h"
#include "shell/messages.h"
#include "shell/printing.h"
#include "shell/windowkit.h"

namespace davrenta {

mhbestfrm::mhbestfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("mhbestfrm"), QStringLiteral("Best Layout"));
    limitlbl = MakeLabel(this, QStringLiteral("limitlbl"), QStringLiteral("&Time limit (seconds)"));
    limittxt =
        MakeTextBox(this, QStringLiteral("limittxt"), QStringLiteral("Time limit (seconds)"));
    limitlbl->setBuddy(limittxt);
    limittxt->setText(QString::fromLatin1(kDefaultTimeLimit));
    searchbut = MakeButton(this, QStringLiteral("searchbut"), QStringLiteral("&Search"));
    cancelbut = MakeButton(this, QStringLiteral("cancelbut"), QStringLiteral("&Cancel"));
    cancelbut->hide();
    progresslbl = MakeLabel(this, QStringLiteral("progresslbl"));
    progresslbl->setText(QStringLiteral("Search finds the layout of these places with the least "
                                        "activity, and proves it, within the time limit."));
    progresslbl->setWordWrap(true);
    bestgrd = new Grid(this);
    NameControl(bestgrd, QStringLiteral("bestgrd"),
                QStringLiteral("Each department's place in the best layout"));
    Label1 = MakeLabel(this, QStringLiteral("Label1"));
    Label2 = MakeLabel(this, QStringLiteral("Label2"));
    for (QLabel* l : {Label1, Label2})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layoutpic = new LayoutPicture(this);
    NameControl(layoutpic, QStringLiteral("layoutpic"), QStringLiteral("Best layout and flows"));
    acceptbut = MakeButton(this, QStringLiteral("acceptbut"), QStringLiteral("&Accept Layout"));
    keepbut = MakeButton(this, QStringLiteral("keepbut"), QStringLiteral("&Keep Current Layout"));
    prntbut = MakeButton(this, QStringLiteral("prntbut"), QStringLiteral("&Print"));
    // Offered once there is a layout to print.
    exportbut = MakeExportButton(this, state_,
                                 {TableExport(QStringLiteral("best layout"), bestgrd,
                                              [this] {
                                                  FullColumn x{1, {}}, y{2, {}};
                                                  for (int d = 1;
                                                       outcome_ && d <= outcome_->DeptCount; ++d) {
                                                      x.values.push_back(outcome_->x[d]);
                                                      y.values.push_back(outcome_->y[d]);
                                                  }
                                                  return std::vector<FullColumn>{x, y};
                                              }),
                                  PictureExport(QStringLiteral("best layout diagram"), layoutpic)},
                                 prntbut);
    acceptbut->hide();
    prntbut->setEnabled(false);
    searchbut->setDefault(true);

    auto* limit = new QHBoxLayout;
    limit->addWidget(limitlbl);
    limit->addWidget(limittxt);
    limit->addWidget(searchbut);
    limit->addWidget(cancelbut);
    limit->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(bestgrd, 1);
    left->addWidget(Label1);
    left->addWidget(Label2);
    auto* body = new QHBoxLayout;
    body->addLayout(left, 3);
    body->addWidget(layoutpic, 2);
    // In as many rows as a small or highly scaled screen needs.
    QBoxLayout* buttons = ButtonRows(this, {acceptbut, keepbut, prntbut, exportbut});
    // The table, the texts and the diagram scroll on a small or highly scaled screen rather
    // than being cut short.
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(limit);
    layout->addWidget(progresslbl);
    layout->addWidget(ScrollingPage(this, body), 1);
    layout->addLayout(buttons);
    resize(1000, 560);

    connect(searchbut, &QPushButton::clicked, this, &mhbestfrm::searchbut_Click);
    connect(cancelbut, &QPushButton::clicked, this, &mhbestfrm::cancelbut_Click);
    connect(acceptbut, &QPushButton::clicked, this, &mhbestfrm::acceptbut_Click);
    connect(keepbut, &QPushButton::clicked, this, &mhbestfrm::keepbut_Click);
    connect(prntbut, &QPushButton::clicked, this, &mhbestfrm::prntbut_Click);
}

Result<BestLayoutOutcome> mhbestfrm::search(double timeLimit) {
    running_ = true;
    cancel_ = false;
    for (QWidget* w :
         std::initializer_list<QWidget*>{searchbut, limittxt, acceptbut, keepbut, prntbut})
        w->setEnabled(false);
    cancelbut->show();
    cancelbut->setEnabled(true);
    cancelbut->setFocus();
    progresslbl->setText(QStringLiteral("Searching..."));

    BestLayoutControl control;
    control.cancel = &cancel_;
    control.timeLimit = timeLimit;
    // A report still queued when the search ends must not cover the result.
    QPointer<QLabel> label = progresslbl;
    auto live = std::make_shared<bool>(true);
    control.progress = [label, live](const BestLayoutProgress& p) {
        const QString text = DisplayText(BestLayoutProgressText(p));
        QMetaObject::invokeMethod(
            label,
            [label, live, text] {
                if (label && *live)
                    label->setText(text);
            },
            Qt::QueuedConnection);
    };

    // The search reads its own copy; the state changes only when the user accepts.
    const MhActivityState problem = state_.mh;
    const Metric method = state_.DistanceMethod;
    std::optional<Result<BestLayoutOutcome>> found;
    QFutureWatcher<void> watcher;
    QEventLoop loop;
    connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run(
        [&found, &problem, method, control] { found = FindBestLayout(problem, method, control); }));
    if (!watcher.isFinished())
        loop.exec();
    watcher.waitForFinished();
    *live = false;

    cancelbut->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{searchbut, limittxt, keepbut})
        w->setEnabled(true);
    running_ = false;
    return std::move(*found);
}

void mhbestfrm::searchbut_Click() {
    const Result<double> limit = TimeLimitFromText(limittxt->text().toStdString());
    if (!limit) {
        ShowMessage(this, limit.message());
        limittxt->setFocus();
        return;
    }
    Result<BestLayoutOutcome> found = search(*limit);
    if (!found) {
        progresslbl->clear();
        ShowMessage(this, found.message());
        searchbut->setFocus();
        return;
    }
    outcome_ = std::move(*found);
    showOutcome();
}

void mhbestfrm::showOutcome() {
    const BestLayoutOutcome& o = *outcome_;
    const BestLayoutTexts t = BestLayoutResultTexts(state_.mh, o, state_.LineBreak);
    progresslbl->setText(o.proven() ? QStringLiteral("The search is complete.")
                                    : QStringLiteral("The search stopped before the end."));
    ShowResultRows(bestgrd, t.bestgrd);
    Label1->setText(DisplayText(t.Label1));
    Label2->setText(DisplayText(t.Label2));
    MhActivityState best = state_.mh;
    AcceptBestLayout(best, o);
    const ActivityFigures figures = ComputeActivity(best, state_.DistanceMethod);
    layoutpic->showLayout(best, FlowLines(best, figures));
    acceptbut->setVisible(t.changed);
    acceptbut->setEnabled(t.changed);
    prntbut->setEnabled(true);
    (t.changed ? acceptbut : keepbut)->setDefault(true);
    (t.changed ? acceptbut : keepbut)->setFocus();
}

void mhbestfrm::cancelbut_Click() {
    cancel_ = true;
}

void mhbestfrm::acceptbut_Click() {
    if (!outcome_ || running_)
        return;
    AcceptBestLayout(state_.mh, *outcome_);
    accepted_ = true;
    accept();
}

void mhbestfrm::keepbut_Click() {
    if (!running_)
        QDialog::reject();
}

void mhbestfrm::prntbut_Click() {
    if (!outcome_)
        return;
    PrintReport(this, BestLayoutReport(state_.mh, state_.DistanceMethod, *outcome_),
                ReportPdfPath(state_, QStringLiteral("best-layout")));
}

void mhbestfrm::closeEvent(QCloseEvent* event) {
    // The search reads this window's state until it stops: closing asks it to stop first.
    if (running_) {
        cancel_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void mhbestfrm::reject() {
    if (running_) {
        cancel_ = true;
        return;
    }
    QDialog::reject();
}

} // namespace davrenta

#include "popmap/forms/flcountfrm.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "popmap/search.h"
#include "popmap/setsearch.h"
#include "shell/controls.h"
#include "shell/grid.h"
#include "shell/messages.h"
#include "shell/windowkit.h"
#include "state/records.h"

namespace davrenta {

namespace {

const QColor kTogether(200, 30, 45);
const QColor kOneAtATime(40, 90, 200);

// The curve's description for screen readers and tests.
QString ChartText(const std::vector<PodCountTexts::Point>& points) {
    QStringList parts;
    for (const PodCountTexts::Point& p : points)
        parts << QStringLiteral("%1: %2 / %3")
                     .arg(p.pods)
                     .arg(p.together, 0, 'g', 6)
                     .arg(p.oneAtATime ? QString::number(*p.oneAtATime, 'g', 6)
                                       : QStringLiteral("-"));
    return parts.join(QStringLiteral("; "));
}

} // namespace

PodCountChart::PodCountChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chart"));
    setAccessibleName(QStringLiteral("Value by number of new PODs"));
    setMinimumSize(240, 160);
}

void PodCountChart::setPoints(std::vector<PodCountTexts::Point> points) {
    points_ = std::move(points);
    setAccessibleDescription(ChartText(points_));
    update();
}

void PodCountChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    if (points_.empty())
        return;
    const QFontMetrics metrics(font());
    double low = points_.front().together, high = low;
    for (const PodCountTexts::Point& p : points_) {
        low = std::min(low, p.together);
        high = std::max(high, p.together);
        if (p.oneAtATime) {
            low = std::min(low, *p.oneAtATime);
            high = std::max(high, *p.oneAtATime);
        }
    }
    if (!(high > low))
        high = low + 1;
    const int left = metrics.horizontalAdvance(QStringLiteral("00000.00")) + 8;
    const int bottom = height() - 2 * metrics.height() - 6;
    const QRect plot(left, metrics.height(), std::max(10, width() - left - 12),
                     std::max(10, bottom - metrics.height()));
    const int first = points_.front().pods, last = points_.back().pods;
    const auto at = [&](int pods, double value) {
        const double x = last > first ? double(pods - first) / (last - first) : 0.5;
        return QPointF(plot.left() + x * plot.width(),
                       plot.bottom() - (value - low) / (high - low) * plot.height());
    };
    painter.setPen(palette().text().color());
    painter.drawRect(plot);
    painter.drawText(QRect(0, plot.top() - metrics.height() / 2, left - 4, metrics.height()),
                     Qt::AlignRight, QString::number(high, 'g', 5));
    painter.drawText(QRect(0, plot.bottom() - metrics.height() / 2, left - 4, metrics.height()),
                     Qt::AlignRight, QString::number(low, 'g', 5));
    for (const PodCountTexts::Point& p : points_) {
        const QPointF x = at(p.pods, low);
        painter.drawText(QRectF(x.x() - 20, plot.bottom() + 2, 40, metrics.height()),
                         Qt::AlignHCenter, QString::number(p.pods));
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const auto line = [&](const QColor& colour, auto value) {
        QPainterPath path;
        bool started = false;
        for (const PodCountTexts::Point& p : points_) {
            const std::optional<double> v = value(p);
            if (!v)
                continue;
            const QPointF point = at(p.pods, *v);
            started ? path.lineTo(point) : path.moveTo(point);
            started = true;
            painter.setBrush(colour);
            painter.setPen(colour);
            painter.drawEllipse(point, 3, 3);
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(colour, 2));
        painter.drawPath(path);
    };
    line(kOneAtATime, [](const PodCountTexts::Point& p) { return p.oneAtATime; });
    line(kTogether, [](const PodCountTexts::Point& p) { return std::optional(p.together); });
    const int keyY = height() - metrics.height() - 2;
    int x = plot.left();
    for (const auto& [colour, name] : {std::pair{kTogether, tr("placed together")},
                                       std::pair{kOneAtATime, tr("one at a time")}}) {
        painter.fillRect(QRect(x, keyY + metrics.height() / 3, 16, 4), colour);
        painter.setPen(palette().text().color());
        painter.drawText(QPoint(x + 20, keyY + metrics.ascent()), name);
        x += 28 + metrics.horizontalAdvance(name);
    }
}

flcountfrm::flcountfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("flcountfrm"), QStringLiteral("How Many PODs"));

    const int free = std::max(1, kMaxPods - state_.fl.ExistingPodCount);
    maxlbl = MakeLabel(this, QStringLiteral("maxlbl"),
                       QStringLiteral("&Up to this many new PODs (at most %1):").arg(free));
    maxtxt =
        MakeTextBox(this, QStringLiteral("maxtxt"), QStringLiteral("Largest number of new PODs"));
    maxtxt->setText(QString::number(std::min(5, free)));
    maxlbl->setBuddy(maxtxt);
    curvebut = MakeButton(this, QStringLiteral("curvebut"), QStringLiteral("&Compare Counts"));
    titlelbl = MakeLabel(this, QStringLiteral("titlelbl"));
    titlelbl->setWordWrap(true);
    countgrd = new Grid(this);
    NameControl(countgrd, QStringLiteral("countgrd"),
                QStringLiteral("Value by number of new PODs"));
    chart = new PodCountChart(this);
    radiuslbl =
        MakeLabel(this, QStringLiteral("radiuslbl"),
                  QStringLiteral("&Radius (the distance method's units, as MAX DISTANCE):"));
    radiustxt = MakeTextBox(this, QStringLiteral("radiustxt"), QStringLiteral("Radius"));
    radiuslbl->setBuddy(radiustxt);
    coverbut =
        MakeButton(this, QStringLiteral("coverbut"), QStringLiteral("&Fewest PODs to Cover"));
    withinbut =
        MakeButton(this, QStringLiteral("withinbut"), QStringLiteral("&Largest Population Within"));
    coverlbl = MakeLabel(this, QStringLiteral("coverlbl"));
    coverlbl->setWordWrap(true);
    coverlbl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    progresslbl = MakeLabel(this, QStringLiteral("progresslbl"));
    cancelbut = MakeButton(this, QStringLiteral("cancelbut"), QStringLiteral("Cancel"));
    cancelbut->hide();
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    curvebut->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(maxlbl);
    top->addWidget(maxtxt);
    top->addWidget(curvebut);
    top->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(countgrd, 1);
    body->addWidget(chart, 1);
    auto* cover = new QGridLayout;
    cover->addWidget(radiuslbl, 0, 0);
    cover->addWidget(radiustxt, 0, 1);
    cover->addWidget(coverbut, 0, 2);
    cover->addWidget(withinbut, 0, 3);
    cover->setColumnStretch(4, 1);
    // The progress above the buttons, which stay in view below the page.
    progresslbl->setWordWrap(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(progresslbl);
    buttons->addLayout(ButtonRow({cancelbut, okbut}));
    auto* content = new QVBoxLayout;
    content->addLayout(top);
    content->addWidget(titlelbl);
    content->addLayout(body, 1);
    content->addLayout(cover);
    content->addWidget(coverlbl);
    PageAndButtons(this, content, buttons);
    resize(820, 480);

    connect(curvebut, &QPushButton::clicked, this, &flcountfrm::curvebut_Click);
    connect(coverbut, &QPushButton::clicked, this, &flcountfrm::coverbut_Click);
    connect(withinbut, &QPushButton::clicked, this, &flcountfrm::withinbut_Click);
    connect(cancelbut, &QPushButton::clicked, this, &flcountfrm::cancelbut_Click);
    connect(okbut, &QPushButton::clicked, this, &flcountfrm::okbut_Click);

    countgrd->setFixedRows(1);
    countgrd->setFixedCols(0);
    FillGrid(countgrd, CountTexts(state_.fl, {}).countgrd);
    FitColumns(countgrd);
}

std::optional<int> flcountfrm::readCount() {
    const int free = kMaxPods - state_.fl.ExistingPodCount;
    const std::string text = maxtxt->text().trimmed().toStdString();
    const std::optional<double> value =
        text.empty() || text.find_first_not_of("0123456789") != std::string::npos
            ? std::nullopt
            : ParseFieldNumber(text);
    if (!value || *value < 1 || *value > free) {
        ShowMessage(this, QStringLiteral("The number of new PODs must be a whole number from 1 "
                                         "to %1 (a problem holds 31 PODs).")
                              .arg(free));
        maxtxt->setFocus();
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

std::optional<double> flcountfrm::readRadius() {
    const std::optional<double> value = ParseFieldNumber(radiustxt->text().trimmed().toStdString());
    if (radiustxt->text().trimmed().isEmpty() || !value || !std::isfinite(*value) || *value < 0) {
        ShowMessage(this, QStringLiteral("The radius must be a distance of 0 or more."));
        radiustxt->setFocus();
        return std::nullopt;
    }
    return *value;
}

bool flcountfrm::run(const std::function<void(const SearchControl&)>& work) {
    running_ = true;
    cancel_ = false;
    for (QPushButton* b : {curvebut, coverbut, withinbut, okbut})
        b->setEnabled(false);
    cancelbut->show();
    cancelbut->setFocus();
    progresslbl->setText(QStringLiteral("Searching..."));
    QApplication::setOverrideCursor(Qt::WaitCursor);

    SearchControl control;
    control.cancel = &cancel_;
    control.timeLimit = state_.fl.SearchTimeLimit;
    QPointer<QLabel> label = progresslbl;
    const PopMap& fl = state_.fl; // read only while the worker runs
    control.bounds = [label, &fl](const SetProgress& progress) {
        const QString text = QString::fromStdString(SetProgressText(fl, progress));
        QMetaObject::invokeMethod(
            label,
            [label, text] {
                if (label)
                    label->setText(text);
            },
            Qt::QueuedConnection);
    };
    QFutureWatcher<void> watcher;
    QEventLoop loop;
    connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([&work, control] { work(control); }));
    if (!watcher.isFinished())
        loop.exec();

    QApplication::restoreOverrideCursor();
    cancelbut->hide();
    for (QPushButton* b : {curvebut, coverbut, withinbut, okbut})
        b->setEnabled(true);
    running_ = false;
    const bool cancelled = cancel_;
    progresslbl->setText(cancelled ? QStringLiteral("Cancelled.") : QString());
    return !cancelled;
}

void flcountfrm::curvebut_Click() {
    const std::optional<int> count = readCount();
    if (!count)
        return;
    std::optional<Result<std::vector<PodCountRow>>> rows;
    const ModuleState& state = state_;
    if (!run([&](const SearchControl& control) {
            rows.emplace(PodCountCurve(state, *count, control));
        }))
        return;
    if (!*rows) {
        ShowMessage(this, CellText((*rows).message()));
        return;
    }
    const PodCountTexts t = CountTexts(state_.fl, **rows);
    titlelbl->setText(QString::fromStdString(t.titlelbl));
    FillGrid(countgrd, t.countgrd);
    FitColumns(countgrd);
    chart->setPoints(t.points);
}

void flcountfrm::coverbut_Click() {
    const std::optional<double> radius = readRadius();
    if (!radius)
        return;
    std::optional<Result<CoverAnswer>> answer;
    const ModuleState& state = state_;
    if (!run([&](const SearchControl& control) {
            answer.emplace(FewestPodsToCover(state, *radius, control));
        }))
        return;
    coverlbl->setText(CellText(*answer ? CoverText(**answer) : (*answer).message()));
}

void flcountfrm::withinbut_Click() {
    const std::optional<double> radius = readRadius();
    if (!radius)
        return;
    const std::optional<int> count = readCount();
    if (!count)
        return;
    std::optional<Result<CoveredPopulation>> answer;
    const ModuleState& state = state_;
    if (!run([&](const SearchControl& control) {
            answer.emplace(LargestPopulationWithin(state, *radius, *count, control));
        }))
        return;
    coverlbl->setText(CellText(*answer ? WithinText(state_.fl, **answer) : (*answer).message()));
}

void flcountfrm::cancelbut_Click() {
    cancel_ = true;
}

void flcountfrm::okbut_Click() {
    accept();
}

void flcountfrm::closeEvent(QCloseEvent* event) {
    // The worker reads the state until it stops: closing asks it to stop first.
    if (running_) {
        cancel_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void flcountfrm::reject() {
    if (running_) {
        cancel_ = true;
        return;
    }
    QDialog::reject();
}

} // namespace davrenta

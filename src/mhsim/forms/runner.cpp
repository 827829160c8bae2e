#include "mhsim/forms/runner.h"

#include <limits>
#include <optional>

#include <QCloseEvent>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

#include "state/records.h"

namespace davrenta {

double BoxNumber(const QLineEdit* box) {
    const std::optional<double> value = ParseFieldNumber(box->text().trimmed().toStdString());
    return value ? *value : std::numeric_limits<double>::quiet_NaN();
}

RunOutcome RunInBackground(const RunDisplay& display, long long total, std::atomic<bool>& cancel,
                           const std::function<RunOutcome(const RunControl&)>& run) {
    cancel = false;
    for (QWidget* w : display.busy)
        w->setEnabled(false);
    // A bar counts in ints: long runs are shown in thousands of cycles.
    const long long scale = total > 1000000000LL ? 1000 : 1;
    display.bar->setRange(0, static_cast<int>(total / scale));
    display.bar->setValue(0);
    display.bar->show();
    display.cancel->show();
    display.cancel->setEnabled(true);
    display.cancel->setFocus();

    RunControl control;
    control.cancel = &cancel;
    QPointer<QProgressBar> bar = display.bar;
    auto half = std::make_shared<std::atomic<double>>(-1);
    control.progress = [bar, scale, half, report = display.halfWidth](long long done, long long) {
        const double h = half->load();
        QMetaObject::invokeMethod(
            bar,
            [bar, done, scale, h, report] {
                if (!bar)
                    return;
                bar->setValue(static_cast<int>(done / scale));
                if (report)
                    report(done, h);
            },
            Qt::QueuedConnection);
    };
    if (display.halfWidth)
        control.halfWidth = [half](double h) { half->store(h); };

    QFutureWatcher<RunOutcome> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<RunOutcome>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([&run, control] { return run(control); }));
    if (!watcher.isFinished())
        loop.exec();
    const RunOutcome outcome = watcher.result();

    display.cancel->hide();
    display.bar->hide();
    for (QWidget* w : display.busy)
        w->setEnabled(true);
    return outcome;
}

RunOutcome RunningDialog::runInBackground(const RunDisplay& display, long long total,
                                          const std::function<RunOutcome(const RunControl&)>& run) {
    running_ = true;
    const RunOutcome outcome = RunInBackground(display, total, cancel_, run);
    running_ = false;
    return outcome;
}

void RunningDialog::closeEvent(QCloseEvent* event) {
    if (running_) {
        cancel_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void RunningDialog::reject() {
    if (running_) {
        cancel_ = true;
        return;
    }
    QDialog::reject();
}

} // namespace davrenta

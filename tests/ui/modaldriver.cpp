#include "modaldriver.h"

#include <utility>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTreeWidget>
#include <QWidget>

#include "shell/controls.h"

namespace davrenta::testing {

namespace {

constexpr int kHardLimitGrace = 15000; // past the time limit: windows keep coming back
constexpr int kMaxCloseAttempts = 500;

QString Quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString WindowName(const QWidget* window) {
    if (!window)
        return QStringLiteral("none");
    QString name = window->objectName().isEmpty()
                       ? QString::fromLatin1(window->metaObject()->className())
                       : window->objectName();
    if (!window->windowTitle().isEmpty())
        name += QStringLiteral(" (") + Quoted(window->windowTitle()) + QLatin1Char(')');
    return name;
}

QObject* FindControl(QWidget* window, const QString& name) {
    for (QWidget* widget : window->findChildren<QWidget*>(name))
        if (widget->window() == window)
            return widget;
    for (QAction* action : window->findChildren<QAction*>(name))
        return action;
    return nullptr;
}

bool ControlText(QObject* control, QString* text) {
    if (auto* label = qobject_cast<QLabel*>(control))
        *text = label->text();
    else if (auto* box = qobject_cast<QLineEdit*>(control))
        *text = box->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        *text = PlainCaption(button->text());
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        *text = combo->currentText();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
        *text = plain->toPlainText();
    else if (auto* rich = qobject_cast<QTextEdit*>(control))
        *text = rich->toPlainText();
    else if (auto* action = qobject_cast<QAction*>(control))
        *text = PlainCaption(action->text());
    else if (auto* widget = qobject_cast<QWidget*>(control); widget && widget->isWindow())
        *text = widget->windowTitle();
    else
        return false;
    return true;
}

QStringList ItemTexts(QObject* control) {
    QStringList texts;
    if (auto* list = qobject_cast<QListWidget*>(control)) {
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
    } else if (auto* tree = qobject_cast<QTreeWidget*>(control)) {
        for (QTreeWidgetItem* item :
             tree->findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive))
            texts << item->text(0);
    }
    return texts;
}

} // namespace

ModalDriver::ModalDriver(QWidget* root) : root_(root) {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &ModalDriver::poll);
}

ModalDriver::~ModalDriver() {
    if (running_)
        SetMessageHandler(std::move(previousHandler_));
}

void ModalDriver::setTimeLimit(int milliseconds) {
    timeLimit_ = milliseconds;
}
void ModalDriver::setStepTimeout(int milliseconds) {
    stepTimeout_ = milliseconds;
}
void ModalDriver::setPollInterval(int milliseconds) {
    timer_.setInterval(milliseconds);
}

ModalDriver::Step ModalDriver::MakeStep(Kind kind, const QString& control, const QString& text) {
    Step step;
    step.kind = kind;
    step.control = control;
    step.text = text;
    return step;
}

ModalDriver& ModalDriver::add(Step step) {
    if (step.kind == Kind::ExpectWindow) {
        lastWindow_ = step.text;
    } else if (step.kind != Kind::ExpectMessage && step.kind != Kind::ExpectNoWindow &&
               step.kind != Kind::CloseAll) {
        step.window = lastWindow_;
    }
    steps_.push_back(std::move(step));
    return *this;
}

ModalDriver& ModalDriver::expectWindow(const QString& name) {
    return add(MakeStep(Kind::ExpectWindow, QString(), name));
}
ModalDriver& ModalDriver::expectCaption(const QString& caption) {
    return add(MakeStep(Kind::ExpectCaption, QString(), caption));
}
ModalDriver& ModalDriver::click(const QString& control) {
    return add(MakeStep(Kind::Click, control, QString()));
}
ModalDriver& ModalDriver::setText(const QString& control, const QString& text) {
    return add(MakeStep(Kind::SetText, control, text));
}
ModalDriver& ModalDriver::select(const QString& control, const QString& item) {
    return add(MakeStep(Kind::Select, control, item));
}
ModalDriver& ModalDriver::doubleClick(const QString& control, const QString& item) {
    return add(MakeStep(Kind::DoubleClick, control, item));
}
ModalDriver& ModalDriver::expectMessage(const QString& text) {
    return add(MakeStep(Kind::ExpectMessage, QString(), text));
}
ModalDriver& ModalDriver::expectText(const QString& control, const QString& text) {
    return add(MakeStep(Kind::ExpectText, control, text));
}
ModalDriver& ModalDriver::readText(const QString& control, QString* into) {
    Step step = MakeStep(Kind::ReadText, control, QString());
    step.into = into;
    return add(std::move(step));
}
ModalDriver& ModalDriver::expectNoWindow() {
    return add(MakeStep(Kind::ExpectNoWindow, QString(), QString()));
}
ModalDriver& ModalDriver::step(const QString& what, std::function<void(QWidget*)> action) {
    Step step = MakeStep(Kind::Custom, QString(), what);
    step.action = std::move(action);
    return add(std::move(step));
}
ModalDriver& ModalDriver::check(const QString& what,
                                std::function<bool(QWidget*, QString*)> condition) {
    Step step = MakeStep(Kind::Check, QString(), what);
    step.condition = std::move(condition);
    return add(std::move(step));
}
ModalDriver& ModalDriver::waitUntil(const QString& what, std::function<bool(QWidget*)> condition) {
    Step step = MakeStep(Kind::WaitUntil, QString(), what);
    step.until = std::move(condition);
    return add(std::move(step));
}
ModalDriver& ModalDriver::closeAll() {
    return add(MakeStep(Kind::CloseAll, QString(), QString()));
}

QString ModalDriver::describe(std::size_t index) const {
    if (index >= steps_.size())
        return QStringLiteral("the end of the script");
    const Step& s = steps_[index];
    QString what;
    switch (s.kind) {
    case Kind::ExpectWindow:
        what = QStringLiteral("expectWindow ") + Quoted(s.text);
        break;
    case Kind::ExpectCaption:
        what = QStringLiteral("expectCaption ") + Quoted(s.text);
        break;
    case Kind::Click:
        what = QStringLiteral("click ") + Quoted(s.control);
        break;
    case Kind::SetText:
        what = QStringLiteral("setText ") + Quoted(s.control) + QStringLiteral(" to ") +
               Quoted(s.text);
        break;
    case Kind::Select:
        what =
            QStringLiteral("select ") + Quoted(s.text) + QStringLiteral(" in ") + Quoted(s.control);
        break;
    case Kind::DoubleClick:
        what = QStringLiteral("doubleClick ") + Quoted(s.text) + QStringLiteral(" in ") +
               Quoted(s.control);
        break;
    case Kind::ExpectMessage:
        what = QStringLiteral("expectMessage ") + Quoted(s.text);
        break;
    case Kind::ExpectText:
        what = QStringLiteral("expectText ") + Quoted(s.control) + QStringLiteral(" = ") +
               Quoted(s.text);
        break;
    case Kind::ReadText:
        what = QStringLiteral("readText ") + Quoted(s.control);
        break;
    case Kind::ExpectNoWindow:
        what = QStringLiteral("expectNoWindow");
        break;
    case Kind::Custom:
        what = QStringLiteral("step ") + Quoted(s.text);
        break;
    case Kind::Check:
        what = QStringLiteral("check ") + Quoted(s.text);
        break;
    case Kind::WaitUntil:
        what = QStringLiteral("waitUntil ") + Quoted(s.text);
        break;
    case Kind::CloseAll:
        what = QStringLiteral("closeAll");
        break;
    }
    QString text = QStringLiteral("step %1 (%2").arg(index + 1).arg(what);
    if (!s.window.isEmpty())
        text += QStringLiteral(" on ") + s.window;
    return text + QLatin1Char(')');
}

QString ModalDriver::describeOpenWindows() {
    // The modal stack is not public; walk the visible modal top-level windows instead.
    QStringList names;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->isModal())
            names << WindowName(widget);
    if (QWidget* active = QApplication::activeModalWidget()) {
        names.removeAll(WindowName(active));
        names << WindowName(active);
    }
    return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "));
}

QWidget* ModalDriver::currentWindow() const {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return root_.data();
}

void ModalDriver::fail(const QString& why) {
    if (failed_)
        return;
    failed_ = true;
    failure_ = why;
    closing_ = true;
}

void ModalDriver::finish() {
    finished_ = true;
    timer_.stop();
    if (loop_)
        loop_->quit();
}

void ModalDriver::closeOneWindow() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) {
        finish();
        return;
    }
    if (++closeAttempts_ > kMaxCloseAttempts)
        qFatal("ModalDriver: modal windows keep opening while the driver closes them (%s)",
               qPrintable(failure_));
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

void ModalDriver::poll() {
    if (finished_)
        return;
    const qint64 elapsed = runClock_.elapsed();
    if (elapsed > timeLimit_ + kHardLimitGrace)
        qFatal("ModalDriver: the run did not end after its time limit (%s)", qPrintable(failure_));
    if (!failed_ && elapsed > timeLimit_)
        fail(QStringLiteral("time limit of %1 ms reached at %2; open windows: %3")
                 .arg(timeLimit_)
                 .arg(describe(index_), describeOpenWindows()));
    if (closing_) {
        closeOneWindow();
        return;
    }
    if (actionPending_)
        return;

    QWidget* window = currentWindow();
    const bool waitedTooLong = stepClock_.elapsed() > stepTimeout_;

    if (index_ >= steps_.size()) {
        if (!pending_.isEmpty()) {
            fail(QStringLiteral("an unexpected message was shown: ") + Quoted(pending_.front()));
            return;
        }
        // The script is done once the windows it opened have closed.
        if (!QApplication::activeModalWidget()) {
            finish();
            return;
        }
        if (waitedTooLong)
            fail(QStringLiteral("the script ended, but windows are still open: ") +
                 describeOpenWindows());
        return;
    }

    const Step& s = steps_[index_];
    auto advance = [this] {
        ++index_;
        stepClock_.restart();
    };

    if (s.kind == Kind::ExpectMessage) {
        if (!pending_.isEmpty()) {
            const QString shown = pending_.takeFirst();
            if (shown != s.text) {
                fail(describe(index_) + QStringLiteral(": the message shown was ") + Quoted(shown));
                return;
            }
            advance();
        } else if (waitedTooLong) {
            fail(describe(index_) + QStringLiteral(": no message was shown; open windows: ") +
                 describeOpenWindows());
        }
        return;
    }
    if (s.kind == Kind::CloseAll) {
        closing_ = true; // no failure: the test asked for it
        advance();
        return;
    }
    if (s.kind == Kind::ExpectNoWindow) {
        if (!QApplication::activeModalWidget())
            advance();
        else if (waitedTooLong)
            fail(describe(index_) + QStringLiteral(": still open: ") + describeOpenWindows());
        return;
    }

    // Every other step is for one window: wait until it is the active one.
    const QString wanted = s.kind == Kind::ExpectWindow ? s.text : s.window;
    if (!wanted.isEmpty() && (!window || window->objectName() != wanted || !window->isVisible())) {
        if (waitedTooLong)
            fail(describe(index_) + QStringLiteral(": expected window ") + Quoted(wanted) +
                 QStringLiteral(", but the open window is ") + WindowName(window));
        return;
    }
    if (!window) {
        if (waitedTooLong)
            fail(describe(index_) + QStringLiteral(": no window is open"));
        return;
    }
    if (s.kind == Kind::ExpectWindow) {
        advance();
        return;
    }
    if (s.kind == Kind::WaitUntil) {
        if (s.until(window))
            advance();
        else if (waitedTooLong)
            fail(describe(index_) + QStringLiteral(": the condition never held"));
        return;
    }
    if (s.kind == Kind::ExpectCaption) {
        if (window->windowTitle() != s.text) {
            fail(describe(index_) + QStringLiteral(": the caption is ") +
                 Quoted(window->windowTitle()));
            return;
        }
        advance();
        return;
    }
    if (s.kind == Kind::Check) {
        QString why;
        if (!s.condition(window, &why)) {
            fail(describe(index_) + QStringLiteral(": ") +
                 (why.isEmpty() ? QStringLiteral("the check failed") : why));
            return;
        }
        advance();
        return;
    }
    if (s.kind == Kind::ExpectText || s.kind == Kind::ReadText) {
        QObject* control = FindControl(window, s.control);
        QString text;
        if (!control || !ControlText(control, &text)) {
            fail(describe(index_) + QStringLiteral(": ") + WindowName(window) +
                 QStringLiteral(" has no text control ") + Quoted(s.control));
            return;
        }
        if (s.kind == Kind::ReadText) {
            if (s.into)
                *s.into = text;
        } else if (text != s.text) {
            fail(describe(index_) + QStringLiteral(": the text is ") + Quoted(text));
            return;
        }
        advance();
        return;
    }

    // Actions: what the user does must not pass over a message nobody expected.
    if (!pending_.isEmpty()) {
        fail(describe(index_) + QStringLiteral(": an unexpected message was shown: ") +
             Quoted(pending_.front()));
        return;
    }
    act(s, window);
}

bool ModalDriver::act(const Step& s, QWidget* window) {
    QPointer<QWidget> target(window);
    QObject* control = nullptr;
    if (s.kind != Kind::Custom) {
        control = FindControl(window, s.control);
        if (!control) {
            fail(describe(index_) + QStringLiteral(": ") + WindowName(window) +
                 QStringLiteral(" has no control ") + Quoted(s.control));
            return false;
        }
        if (auto* widget = qobject_cast<QWidget*>(control)) {
            if (!widget->isEnabled() || !widget->isVisible()) {
                fail(describe(index_) + QStringLiteral(": ") + Quoted(s.control) +
                     (widget->isEnabled() ? QStringLiteral(" is hidden")
                                          : QStringLiteral(" is disabled")));
                return false;
            }
        } else if (auto* action = qobject_cast<QAction*>(control); action && !action->isEnabled()) {
            fail(describe(index_) + QStringLiteral(": ") + Quoted(s.control) +
                 QStringLiteral(" is disabled"));
            return false;
        }
    }

    // Check that the control can take the step before it is posted, so a wrong script fails
    // at the step that is wrong.
    std::function<void()> perform;
    QPointer<QObject> guard(control);
    switch (s.kind) {
    case Kind::Click:
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            perform = [guard, button] {
                if (guard)
                    button->click();
            };
        else if (auto* action = qobject_cast<QAction*>(control))
            perform = [guard, action] {
                if (guard)
                    action->trigger();
            };
        break;
    case Kind::SetText: {
        const QString text = s.text;
        if (auto* box = qobject_cast<QLineEdit*>(control))
            perform = [guard, box, text] {
                if (!guard)
                    return;
                box->setFocus();
                box->selectAll();
                box->insert(text); // as typed: validators and textEdited apply
                if (text.isEmpty())
                    box->clear();
            };
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
            perform = [guard, plain, text] {
                if (guard)
                    plain->setPlainText(text);
            };
        else if (auto* rich = qobject_cast<QTextEdit*>(control))
            perform = [guard, rich, text] {
                if (guard)
                    rich->setPlainText(text);
            };
        else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->isEditable())
            perform = [guard, combo, text] {
                if (guard)
                    combo->setEditText(text);
            };
        break;
    }
    case Kind::Select:
    case Kind::DoubleClick: {
        const bool twice = s.kind == Kind::DoubleClick;
        const QString wantedItem = s.text;
        if (auto* list = qobject_cast<QListWidget*>(control)) {
            const QList<QListWidgetItem*> found = list->findItems(wantedItem, Qt::MatchExactly);
            if (!found.isEmpty()) {
                const int row = list->row(found.front());
                perform = [guard, list, row, twice, wantedItem] {
                    if (!guard || !list->item(row))
                        return;
                    list->setCurrentRow(row);
                    emit list->itemClicked(list->item(row));
                    if (!twice || !guard || !list->item(row) ||
                        list->item(row)->text() != wantedItem)
                        return;
                    emit list->itemDoubleClicked(list->item(row));
                    if (guard && list->item(row) && list->item(row)->text() == wantedItem)
                        emit list->itemActivated(list->item(row));
                };
            }
        } else if (auto* tree = qobject_cast<QTreeWidget*>(control)) {
            const QList<QTreeWidgetItem*> found =
                tree->findItems(wantedItem, Qt::MatchExactly | Qt::MatchRecursive);
            if (!found.isEmpty()) {
                perform = [guard, tree, twice, wantedItem] {
                    auto find = [&]() -> QTreeWidgetItem* {
                        if (!guard)
                            return nullptr;
                        const auto items =
                            tree->findItems(wantedItem, Qt::MatchExactly | Qt::MatchRecursive);
                        return items.isEmpty() ? nullptr : items.front();
                    };
                    QTreeWidgetItem* item = find();
                    if (!item)
                        return;
                    tree->setCurrentItem(item);
                    emit tree->itemClicked(item, 0);
                    if (!twice || !(item = find()))
                        return;
                    emit tree->itemDoubleClicked(item, 0);
                    if ((item = find()))
                        emit tree->itemActivated(item, 0);
                };
            }
        } else if (auto* combo = qobject_cast<QComboBox*>(control); combo && !twice) {
            const int index = combo->findText(wantedItem);
            if (index >= 0)
                perform = [guard, combo, index] {
                    if (!guard)
                        return;
                    combo->setCurrentIndex(index);
                    emit combo->activated(index);
                    emit combo->textActivated(combo->itemText(index));
                };
        }
        if (!perform) {
            fail(describe(index_) + QStringLiteral(": ") + Quoted(s.control) +
                 QStringLiteral(" has no item ") + Quoted(wantedItem) +
                 QStringLiteral(" (items: ") + ItemTexts(control).join(QStringLiteral(", ")) +
                 QLatin1Char(')'));
            return false;
        }
        break;
    }
    case Kind::Custom: {
        const auto action = s.action;
        perform = [target, action] {
            if (target)
                action(target.data());
        };
        break;
    }
    default:
        break;
    }
    if (!perform) {
        fail(describe(index_) + QStringLiteral(": ") + Quoted(s.control) +
             QStringLiteral(" cannot take this step (") +
             QString::fromLatin1(control->metaObject()->className()) + QLatin1Char(')'));
        return false;
    }

    ++index_;
    stepClock_.restart();
    actionPending_ = true;
    // Posted, so that this poll returns first: the action may wait in a modal window's loop,
    // and the timer has to keep firing in there.
    QMetaObject::invokeMethod(
        this,
        [this, perform] {
            actionPending_ = false;
            if (!closing_)
                perform();
        },
        Qt::QueuedConnection);
    return true;
}

bool ModalDriver::run(const std::function<void()>& start) {
    index_ = 0;
    failed_ = false;
    finished_ = false;
    closing_ = false;
    actionPending_ = false;
    closeAttempts_ = 0;
    failure_.clear();
    pending_.clear();
    allMessages_.clear();

    running_ = true;
    MessageHandler recorder;
    if (captureMessages_)
        recorder = [this](const QString& text) {
            allMessages_ << text;
            if (!closing_)
                pending_ << text;
        };
    previousHandler_ = SetMessageHandler(std::move(recorder));
    runClock_.start();
    stepClock_.start();
    timer_.start();

    if (start)
        start();
    if (!finished_) {
        QEventLoop loop;
        loop_ = &loop;
        if (loop.exec() < 0)
            fail(QStringLiteral("the application is quitting; the script stopped at ") +
                 describe(index_));
        loop_ = nullptr;
    }

    timer_.stop();
    SetMessageHandler(std::move(previousHandler_));
    previousHandler_ = nullptr;
    running_ = false;
    return !failed_;
}

MessageCapture::MessageCapture() {
    previous_ = SetMessageHandler([this](const QString& text) { texts << text; });
}

MessageCapture::~MessageCapture() {
    SetMessageHandler(std::move(previous_));
}

PrintCapture::PrintCapture() {
    previous_ = SetPrintSink([this](const Report& report, QString* error) {
        reports.push_back(report);
        if (failWith.isEmpty())
            return true;
        *error = failWith;
        return false;
    });
}

PrintCapture::~PrintCapture() {
    SetPrintSink(std::move(previous_));
}

} // namespace davrenta::testing

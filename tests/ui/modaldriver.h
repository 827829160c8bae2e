#pragma once

#include <functional>
#include <vector>

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "shell/messages.h"
#include "shell/printing.h"
#include "state/report.h"

class QEventLoop;
class QWidget;

namespace davrenta::testing {

// Scripts a chain of modal windows the way a user walks them. Each step waits (polling on a
// short timer) until the window it is meant for is the active modal window, then acts on it;
// a script that does not match the windows fails naming the window actually open. While the
// driver runs, ShowMessage records messages instead of opening boxes, and expectMessage()
// consumes them in order; an action step that finds an unexpected message fails.
//
//     ModalDriver driver(&mainWindow);
//     driver.expectWindow("zedu1frm").click("eucbut")
//           .expectWindow("sourcefrm").click("Keybut")
//           .expectWindow("flinputfrm").setText("inputsymtxt(0)", "A")
//           ...;
//     QVERIFY2(driver.run([&] { mainWindow.flcmd_Click(); }), qPrintable(driver.failure()));
//
// A step waits for its window up to the step timeout: raise it for a long computation that
// runs before the next window opens. Steps run on the GUI thread only.
//
// run() ends when every step is done and no modal window is open any more (or at closeAll()).
// On a failure, and when the overall time limit runs out, the driver closes the open modal
// windows one by one so that the test goes on instead of hanging.
class ModalDriver : public QObject {
    Q_OBJECT

  public:
    // root: the non-modal window (the main window) that stands for "no modal window open";
    // expectWindow("mainfrm") matches it then, and steps may act on it.
    explicit ModalDriver(QWidget* root = nullptr);
    ~ModalDriver() override;

    void setTimeLimit(int milliseconds);    // the whole run; default 120000
    void setStepTimeout(int milliseconds);  // one step's wait for its window; default 20000
    void setPollInterval(int milliseconds); // default 10
    // Off: messages open real boxes (objectName "messagebox"), to be answered as windows.
    void setCaptureMessages(bool capture) { captureMessages_ = capture; }

    // The active window must be (or become) the one with this objectName. Later steps act on
    // it until the next expectWindow().
    ModalDriver& expectWindow(const QString& name);
    // The active window's caption.
    ModalDriver& expectCaption(const QString& caption);
    // Clicks a button or triggers an action ("okbut", "helpmnu(5)"); it must be enabled and
    // shown. Handlers run as for a user: a modal window they open is the next step's window.
    ModalDriver& click(const QString& control);
    // Types a text into a box (replacing its text): QLineEdit, QPlainTextEdit, QTextEdit,
    // editable QComboBox.
    ModalDriver& setText(const QString& control, const QString& text);
    // Clicks the item with this text in a QListWidget, QTreeWidget or QComboBox.
    ModalDriver& select(const QString& control, const QString& item);
    // Double-clicks (activates) the item with this text in a QListWidget or QTreeWidget.
    ModalDriver& doubleClick(const QString& control, const QString& item);
    // The next message shown must be this text (line breaks as '\n').
    ModalDriver& expectMessage(const QString& text);
    // The shown text of a control: a label's text, a box's text, a button's caption without
    // mnemonic, a combo box's current text.
    ModalDriver& expectText(const QString& control, const QString& text);
    ModalDriver& readText(const QString& control, QString* into);
    ModalDriver& readLabel(const QString& control, QString* into) {
        return readText(control, into);
    }
    // Waits until no modal window is open.
    ModalDriver& expectNoWindow();
    // A custom action on the current window; it may open modal windows and wait in them.
    ModalDriver& step(const QString& what, std::function<void(QWidget* window)> action);
    // A custom check on the current window; it must not block. False fails the run with *why.
    ModalDriver& check(const QString& what,
                       std::function<bool(QWidget* window, QString* why)> condition);
    // Waits (up to the step timeout) until the condition holds on the current window.
    ModalDriver& waitUntil(const QString& what, std::function<bool(QWidget* window)> condition);
    // Ends the script here: every modal window still open is closed, and that is no failure.
    ModalDriver& closeAll();

    // Calls start() (which may open the first modal window and wait in it) and runs the
    // script to its end. True when every step passed.
    bool run(const std::function<void()>& start = {});

    // Fails the run from inside a custom step.
    void fail(const QString& why);
    bool failed() const { return failed_; }
    QString failure() const { return failure_; }
    // Every message shown during the last run, in order.
    QStringList messages() const { return allMessages_; }

    // "filefrm ("File")" for each open modal window, topmost last; "none" when none is open.
    static QString describeOpenWindows();

  private:
    enum class Kind {
        ExpectWindow,
        ExpectCaption,
        Click,
        SetText,
        Select,
        DoubleClick,
        ExpectMessage,
        ExpectText,
        ReadText,
        ExpectNoWindow,
        Custom,
        Check,
        WaitUntil,
        CloseAll
    };
    struct Step {
        Kind kind = Kind::ExpectWindow;
        QString window; // the window the step is meant for; empty: whichever is active
        QString control;
        QString text;
        QString* into = nullptr;
        std::function<void(QWidget*)> action;
        std::function<bool(QWidget*, QString*)> condition;
        std::function<bool(QWidget*)> until;
    };

    static Step MakeStep(Kind kind, const QString& control, const QString& text);
    ModalDriver& add(Step step);
    void poll();
    void closeOneWindow();
    void finish();
    bool act(const Step& step, QWidget* window);
    QString describe(std::size_t index) const;
    QWidget* currentWindow() const;

    QPointer<QWidget> root_;
    std::vector<Step> steps_;
    QString lastWindow_;
    std::size_t index_ = 0;
    QTimer timer_;
    QElapsedTimer runClock_;
    QElapsedTimer stepClock_;
    int timeLimit_ = 120000;
    int stepTimeout_ = 20000;
    bool running_ = false;
    bool captureMessages_ = true;
    bool failed_ = false;
    bool finished_ = false;
    bool closing_ = false;
    bool actionPending_ = false;
    int closeAttempts_ = 0;
    QString failure_;
    QStringList pending_;
    QStringList allMessages_;
    QEventLoop* loop_ = nullptr;
    MessageHandler previousHandler_;
};

// Records messages instead of showing boxes while it lives.
class MessageCapture {
  public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;
    QStringList texts;

  private:
    MessageHandler previous_;
};

// Captures printed reports instead of showing the preview while it lives. With failWith set,
// every job fails with that reason.
class PrintCapture {
  public:
    PrintCapture();
    ~PrintCapture();
    PrintCapture(const PrintCapture&) = delete;
    PrintCapture& operator=(const PrintCapture&) = delete;
    std::vector<Report> reports;
    QString failWith;

  private:
    PrintSink previous_;
};

} // namespace davrenta::testing

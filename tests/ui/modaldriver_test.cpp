// The driver the window tests stand on: it must walk chains of modal windows, fail at the step
// that is wrong, name the window that is open, and never leave a test hanging.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "modaldriver.h"
#include "shell/messages.h"

using davrenta::testing::ModalDriver;

namespace {

// A small window with named controls; buttons do what the test gives them.
class Window : public QDialog {
  public:
    explicit Window(const QString& name, QWidget* parent = nullptr) : QDialog(parent) {
        setObjectName(name);
        setWindowTitle(name.toUpper());
        layout_ = new QVBoxLayout(this);
    }
    QPushButton* button(const QString& name, std::function<void()> action) {
        auto* b = new QPushButton(name, this);
        b->setObjectName(name);
        layout_->addWidget(b);
        connect(b, &QPushButton::clicked, this, std::move(action));
        return b;
    }
    QLineEdit* box(const QString& name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        layout_->addWidget(e);
        return e;
    }
    QLabel* label(const QString& name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        layout_->addWidget(l);
        return l;
    }

  private:
    QVBoxLayout* layout_;
};

} // namespace

class ModalDriverTest : public QObject {
    Q_OBJECT

  private slots:
    void walksAChainOfWindows();
    void failsNamingTheOpenWindow();
    void failsOnControlMissingOrDisabled();
    void unexpectedMessageFailsTheNextAction();
    void expectMessageComparesText();
    void timeLimitClosesWindowsThatKeepOpening();
    void scriptEndingWithWindowOpenFails();
    void closeAllEndsWithoutFailure();
    void actsOnRootWhenNoModalWindowIsOpen();
    void realMessageBoxCanBeAnswered();
};

void ModalDriverTest::walksAChainOfWindows() {
    QString typed;
    QStringList order;
    auto start = [&] {
        Window first(QStringLiteral("firstfrm"));
        first.label(QStringLiteral("Label1"), QStringLiteral("pick one"));
        first.button(QStringLiteral("nextbut"), [&] {
            order << QStringLiteral("next");
            first.hide(); // closes itself before its successor opens
            Window second(QStringLiteral("secondfrm"));
            QLineEdit* name = second.box(QStringLiteral("nametxt(0)"));
            second.button(QStringLiteral("okbut"), [&] {
                typed = name->text();
                second.accept();
            });
            second.exec();
            order << QStringLiteral("second closed");
        });
        first.exec();
        order << QStringLiteral("first closed");
    };
    QString label;
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("firstfrm"))
        .expectCaption(QStringLiteral("FIRSTFRM"))
        .readLabel(QStringLiteral("Label1"), &label)
        .click(QStringLiteral("nextbut"))
        .expectWindow(QStringLiteral("secondfrm"))
        .setText(QStringLiteral("nametxt(0)"), QStringLiteral("North 7"))
        .expectText(QStringLiteral("nametxt(0)"), QStringLiteral("North 7"))
        .click(QStringLiteral("okbut"));
    QVERIFY2(driver.run(start), qPrintable(driver.failure()));
    QCOMPARE(label, QStringLiteral("pick one"));
    QCOMPARE(typed, QStringLiteral("North 7"));
    QCOMPARE(order, (QStringList{"next", "second closed", "first closed"}));
    QVERIFY(!QApplication::activeModalWidget());
}

void ModalDriverTest::failsNamingTheOpenWindow() {
    bool returned = false;
    ModalDriver driver;
    driver.setStepTimeout(200);
    driver.expectWindow(QStringLiteral("sourcefrm")).click(QStringLiteral("Keybut"));
    const bool ok = driver.run([&] {
        Window open(QStringLiteral("filefrm"));
        open.exec();
        returned = true;
    });
    QVERIFY(!ok);
    QVERIFY2(driver.failure().contains(QStringLiteral("\"sourcefrm\"")),
             qPrintable(driver.failure()));
    QVERIFY2(driver.failure().contains(QStringLiteral("filefrm")), qPrintable(driver.failure()));
    QVERIFY(returned); // the driver closed the window it did not expect
    QVERIFY(!QApplication::activeModalWidget());
}

void ModalDriverTest::failsOnControlMissingOrDisabled() {
    {
        ModalDriver driver;
        driver.expectWindow(QStringLiteral("w")).click(QStringLiteral("nosuchbut"));
        QVERIFY(!driver.run([] {
            Window w(QStringLiteral("w"));
            w.exec();
        }));
        QVERIFY2(driver.failure().contains(QStringLiteral("has no control \"nosuchbut\"")),
                 qPrintable(driver.failure()));
    }
    {
        int clicks = 0;
        ModalDriver driver;
        driver.expectWindow(QStringLiteral("w")).click(QStringLiteral("offbut"));
        QVERIFY(!driver.run([&] {
            Window w(QStringLiteral("w"));
            w.button(QStringLiteral("offbut"), [&] { ++clicks; })->setEnabled(false);
            w.exec();
        }));
        QVERIFY2(driver.failure().contains(QStringLiteral("disabled")),
                 qPrintable(driver.failure()));
        QCOMPARE(clicks, 0);
    }
}

void ModalDriverTest::unexpectedMessageFailsTheNextAction() {
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("w"))
        .click(QStringLiteral("warnbut"))
        .click(QStringLiteral("closebut"));
    QVERIFY(!driver.run([] {
        Window w(QStringLiteral("w"));
        w.button(QStringLiteral("warnbut"),
                 [&] { davrenta::ShowMessage(&w, std::string("Invalid File Name")); });
        w.button(QStringLiteral("closebut"), [&] { w.accept(); });
        w.exec();
    }));
    QVERIFY2(driver.failure().contains(QStringLiteral("unexpected message")) &&
                 driver.failure().contains(QStringLiteral("Invalid File Name")),
             qPrintable(driver.failure()));
    QCOMPARE(driver.messages(), QStringList{QStringLiteral("Invalid File Name")});
}

void ModalDriverTest::expectMessageComparesText() {
    auto start = [] {
        Window w(QStringLiteral("w"));
        w.button(QStringLiteral("warnbut"),
                 [&] { davrenta::ShowMessage(&w, std::string("first line\rsecond line")); });
        w.button(QStringLiteral("closebut"), [&] { w.accept(); });
        w.exec();
    };
    {
        ModalDriver driver;
        driver.expectWindow(QStringLiteral("w"))
            .click(QStringLiteral("warnbut"))
            .expectMessage(QStringLiteral("first line\nsecond line"))
            .click(QStringLiteral("closebut"));
        QVERIFY2(driver.run(start), qPrintable(driver.failure()));
    }
    {
        ModalDriver driver;
        driver.expectWindow(QStringLiteral("w"))
            .click(QStringLiteral("warnbut"))
            .expectMessage(QStringLiteral("something else"));
        QVERIFY(!driver.run(start));
        QVERIFY2(driver.failure().contains(QStringLiteral("first line")),
                 qPrintable(driver.failure()));
    }
}

void ModalDriverTest::timeLimitClosesWindowsThatKeepOpening() {
    int opened = 0;
    ModalDriver driver;
    driver.setTimeLimit(300);
    driver.waitUntil(QStringLiteral("never"), [](QWidget*) { return false; });
    // Each window opens the next one when it is closed, three times over.
    std::function<void(int)> open = [&](int depth) {
        Window w(QStringLiteral("loopfrm"));
        ++opened;
        w.exec();
        if (depth < 3)
            open(depth + 1);
    };
    QVERIFY(!driver.run([&] { open(1); }));
    QVERIFY2(driver.failure().contains(QStringLiteral("time limit")), qPrintable(driver.failure()));
    QCOMPARE(opened, 3);
    QVERIFY(!QApplication::activeModalWidget());
}

void ModalDriverTest::scriptEndingWithWindowOpenFails() {
    ModalDriver driver;
    driver.setStepTimeout(200);
    driver.expectWindow(QStringLiteral("w"));
    QVERIFY(!driver.run([] {
        Window w(QStringLiteral("w"));
        w.exec();
    }));
    QVERIFY2(driver.failure().contains(QStringLiteral("still open")), qPrintable(driver.failure()));
}

void ModalDriverTest::closeAllEndsWithoutFailure() {
    ModalDriver driver;
    driver.expectWindow(QStringLiteral("inner")).closeAll();
    QVERIFY2(driver.run([] {
        Window outer(QStringLiteral("outer"));
        QTimer::singleShot(0, &outer, [&] {
            Window inner(QStringLiteral("inner"), &outer);
            inner.exec();
        });
        outer.exec();
    }),
             qPrintable(driver.failure()));
    QVERIFY(!QApplication::activeModalWidget());
}

void ModalDriverTest::actsOnRootWhenNoModalWindowIsOpen() {
    Window root(QStringLiteral("rootfrm"));
    root.setModal(false);
    bool dialogSeen = false;
    root.button(QStringLiteral("openbut"), [&] {
        Window child(QStringLiteral("childfrm"), &root);
        child.button(QStringLiteral("okbut"), [&] { child.accept(); });
        dialogSeen = child.exec() == QDialog::Accepted;
    });
    root.show();
    ModalDriver driver(&root);
    driver.expectWindow(QStringLiteral("rootfrm"))
        .click(QStringLiteral("openbut"))
        .expectWindow(QStringLiteral("childfrm"))
        .click(QStringLiteral("okbut"))
        .expectWindow(QStringLiteral("rootfrm"));
    QVERIFY2(driver.run(), qPrintable(driver.failure()));
    QVERIFY(dialogSeen);
}

void ModalDriverTest::realMessageBoxCanBeAnswered() {
    // Without the recorder the box itself opens: the application's title and one OK button.
    QString title;
    int buttons = 0;
    ModalDriver driver;
    driver.setCaptureMessages(false);
    driver.expectWindow(QStringLiteral("messagebox"))
        .check(QStringLiteral("title and buttons"),
               [&](QWidget* w, QString*) {
                   title = w->windowTitle();
                   buttons = static_cast<int>(w->findChildren<QPushButton*>().size());
                   return true;
               })
        .step(QStringLiteral("press OK"), [](QWidget* w) {
            for (QPushButton* b : w->findChildren<QPushButton*>())
                b->click();
        });
    QVERIFY2(driver.run([] { davrenta::ShowMessage(nullptr, std::string("hello")); }),
             qPrintable(driver.failure()));
    QCOMPARE(title, QStringLiteral("Davrenta"));
    QCOMPARE(buttons, 1);
}

QTEST_MAIN(ModalDriverTest)
#include "modaldriver_test.moc"

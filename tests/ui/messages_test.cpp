// The message helper: LineBreak texts shown as lines, and the seam tests answer it through.
#include <QtTest>

#include "modaldriver.h"
#include "shell/controls.h"
#include "shell/messages.h"

class MessagesTest : public QObject {
    Q_OBJECT

  private slots:
    void lineBreaksBecomeLines();
    void handlerReceivesTheShownTextAndIsRestored();
    void plainCaptionDropsMnemonics();
};

void MessagesTest::lineBreaksBecomeLines() {
    const std::string lb(1, '\r');
    QCOMPARE(davrenta::DisplayText("Davrenta" + lb + lb + "Click on Option"),
             QStringLiteral("Davrenta\n\nClick on Option"));
    QCOMPARE(davrenta::DisplayText(std::string("a\r\nb\nc")), QStringLiteral("a\nb\nc"));
    QCOMPARE(davrenta::DisplayText("plain"), QStringLiteral("plain"));
}

void MessagesTest::handlerReceivesTheShownTextAndIsRestored() {
    QStringList outer;
    davrenta::MessageHandler before =
        davrenta::SetMessageHandler([&](const QString& t) { outer << t; });
    {
        davrenta::testing::MessageCapture capture;
        davrenta::ShowMessage(nullptr, std::string("Invalid File Name"));
        davrenta::ShowMessage(nullptr, "one\rtwo");
        QCOMPARE(capture.texts, (QStringList{"Invalid File Name", "one\ntwo"}));
    }
    davrenta::ShowMessage(nullptr, QStringLiteral("after"));
    QCOMPARE(outer, QStringList{QStringLiteral("after")});
    davrenta::SetMessageHandler(std::move(before));
}

void MessagesTest::plainCaptionDropsMnemonics() {
    QCOMPARE(davrenta::PlainCaption(QStringLiteral("E&xit")), QStringLiteral("Exit"));
    QCOMPARE(davrenta::PlainCaption(QStringLiteral("Save && Close")),
             QStringLiteral("Save & Close"));
    QCOMPARE(davrenta::PlainCaption(QStringLiteral(" Determine POD Locations By &Population Map")),
             QStringLiteral(" Determine POD Locations By Population Map"));
    QCOMPARE(davrenta::PlainCaption(QStringLiteral("end&")), QStringLiteral("end"));
    QCOMPARE(davrenta::ArrayName(QStringLiteral("inputsymtxt"), 3),
             QStringLiteral("inputsymtxt(3)"));
}

QTEST_MAIN(MessagesTest)
#include "messages_test.moc"

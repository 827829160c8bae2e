#include "shell/messages.h"

#include <utility>

#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace davrenta {

namespace {

// The one process-wide hook besides the print sink; only tests set it.
MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}

} // namespace

QString DisplayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QString DisplayText(const std::string& text) {
    return DisplayText(QString::fromStdString(text));
}

QString DisplayText(const char* text) {
    return DisplayText(QString::fromUtf8(text));
}

void ShowMessage(QWidget* parent, const QString& text) {
    const QString shown = DisplayText(text);
    if (const MessageHandler& handler = Handler()) {
        // Copy first: a handler may replace itself while it runs.
        MessageHandler call = handler;
        call(shown);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), shown,
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("messagebox"));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.setAccessibleName(shown);
    box.exec();
}

void ShowMessage(QWidget* parent, const std::string& text) {
    ShowMessage(parent, QString::fromStdString(text));
}

void ShowMessage(QWidget* parent, const char* text) {
    ShowMessage(parent, QString::fromUtf8(text));
}

bool AskQuestion(QWidget* parent, const QString& text) {
    const QString shown = DisplayText(text);
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kApplicationTitle), shown,
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("questionbox"));
    box.setAccessibleName(shown);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    yes->setObjectName(QStringLiteral("yesbut"));
    no->setObjectName(QStringLiteral("nobut"));
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

} // namespace davrenta

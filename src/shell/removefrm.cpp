#include "shell/removefrm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"

namespace davrenta {

RemoveWindow::RemoveWindow(const QString& name, const char* prompt, QWidget* parent)
    : QDialog(parent) {
    SetUpWindow(this, name, QStringLiteral("Remove Faciltiy"));
    Label1 = MakeLabel(this, QStringLiteral("Label1"), QString::fromLatin1(prompt));
    remtxt = MakeTextBox(this, QStringLiteral("remtxt"),
                         QStringLiteral("Facility identification number"));
    Label1->setBuddy(remtxt);
    rembut = MakeButton(this, QStringLiteral("rembut"), QStringLiteral("&Remove"));
    canbut = MakeButton(this, QStringLiteral("canbut"), QStringLiteral("&Cancel"));
    rembut->setDefault(true);

    auto* buttons = ButtonRow({rembut, canbut});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(remtxt);
    layout->addLayout(buttons);

    connect(rembut, &QPushButton::clicked, this, &RemoveWindow::rembut_Click);
    connect(canbut, &QPushButton::clicked, this, &RemoveWindow::canbut_Click);
    remtxt->setFocus();
}

void RemoveWindow::rembut_Click() {
    if (Status removed = removeFacility(remtxt->text().toStdString()); !removed) {
        ShowMessage(this, removed.message());
        remtxt->setFocus();
        remtxt->selectAll();
        return;
    }
    backToTable();
}

void RemoveWindow::canbut_Click() {
    backToTable();
}

void RemoveWindow::reject() {
    if (!leaving_)
        backToTable();
}

void RemoveWindow::backToTable() {
    leaving_ = true;
    HideForSuccessor(this);
    openTable();
    accept();
}

} // namespace davrenta

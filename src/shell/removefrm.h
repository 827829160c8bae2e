#pragma once

#include <string>

#include <QDialog>

#include "state/result.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

// The window that takes one facility out of a study's table: it asks for the facility's
// number, removes it by the study's own rule, and returns to the table. Cancel, Escape and the
// window's close button return to the table too, with nothing removed.
class RemoveWindow : public QDialog {
    Q_OBJECT

  public:
    RemoveWindow(const QString& name, const char* prompt, QWidget* parent);

    QLabel* Label1;
    QLineEdit* remtxt;
    QPushButton* rembut;
    QPushButton* canbut;

    void rembut_Click();
    void canbut_Click();
    void reject() override;

  protected:
    // Removes the facility the typed number names; the message says why not.
    virtual Status removeFacility(const std::string& number) = 0;
    // Opens the study's table window modally.
    virtual void openTable() = 0;

  private:
    void backToTable();
    bool leaving_ = false;
};

} // namespace davrenta

#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

// The largest number of sites to use; each choice starts the input.
class smfrm : public QDialog {
    Q_OBJECT

  public:
    explicit smfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QPushButton* onecmd;
    QPushButton* twocmd;
    QPushButton* threecmd;
    QPushButton* retcmd;

    void onecmd_Click();
    void twocmd_Click();
    void threecmd_Click();
    void retcmd_Click();

  private:
    void startInput(int maxSites);
    // The disk path: no file chosen (the study ends), a file or limit refused with a message,
    // or the data table done.
    enum class DiskOutcome { NoFile, Refused, Done };
    DiskOutcome loadFromDisk();
    ModuleState& state_;
};

} // namespace davrenta

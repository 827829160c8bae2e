#pragma once

#include <QDialog>
#include <QString>

#include "state/shellstate.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace davrenta {

class DirectoryList;

// "File - Open Population Map Problem (*.fl)", "File - Save ...": what the chooser is for.
QString ChooserTitle(const ShellState& state);

// The problem-file chooser of every study: a drive, a directory and a file of the active
// study (or a typed name or path). It only returns the path, in ProblemFileName; SaveMode 1
// normalises the name's ending to the study's extension. Empty ProblemFileName: no file. It
// opens in the folder it showed last (ChooserFolder), with ChooserName in its name box when
// that is set. To read, it takes only a file that exists; to save over an existing file, it
// asks first.
class filefrm : public QDialog {
    Q_OBJECT

  public:
    explicit filefrm(ShellState& state, QWidget* parent = nullptr);

    // Asked to read with a file handed to the program, takes that file without showing.
    int exec() override;

    QComboBox* Drive1;   // mounted volumes; item data: the volume's root path
    DirectoryList* Dir1; // the current directory
    QListWidget* File1;  // files of Dir1 matching "*." + ModuleFlag
    QLineEdit* Text1;    // the file name, without directory
    QPushButton* okbut;
    QPushButton* cancelbut;
    QPushButton* examplesbut; // the shipped examples folder in one step

    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void File1_DblClick();
    void okbut_Click();
    void cancelbut_Click();
    void examplesbut_Click();

    // Lists the mounted volumes again (a medium may have come or gone).
    void fillDrives();

    // The shipped examples folder: beside the installed program, else the source tree's,
    // else the install prefix's; empty when none exists.
    static QString ExamplesDirectory();

  private:
    void showDirectory(const QString& path);
    void selectDriveOf(const QString& path);
    void fillFiles();

    ShellState& state_;
    QString driveRoot_;
};

} // namespace davrenta

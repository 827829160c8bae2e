#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace davrenta {

// The problems opened or saved last, newest first, at most kRecentProblems, kept in the
// program's settings.
inline constexpr int kRecentProblems = 8;
QStringList RecentProblemFiles();
// Puts a file first (an absolute path; a file already listed moves up).
void NoteRecentProblem(const QString& path);
void ForgetRecentProblem(const QString& path);
// Where the list is kept: the program's settings file by default; tests name one in a
// temporary folder. An empty name restores the default.
void SetRecentProblemsFile(const QString& file);

// Tells every list on screen that the recent problems changed.
class RecentProblemsSignal : public QObject {
    Q_OBJECT

  public:
    static RecentProblemsSignal* instance();

  signals:
    void changed();
};

// The main window's list of recent problems: one line a file (its name, then its folder), a
// file no longer there marked "(missing)"; double-click or "Open" opens it, "Remove" takes it
// off the list.
class RecentProblemsList : public QWidget {
    Q_OBJECT

  public:
    explicit RecentProblemsList(QWidget* parent = nullptr);

    QLabel* recentlbl;
    QListWidget* recentlist;
    QPushButton* recentopenbut;
    QPushButton* recentremovebut;

    // Reads the list again from the settings.
    void refresh();
    // The path of the selected line; empty when none is selected.
    QString selectedFile() const;

    void recentopenbut_Click();
    void recentremovebut_Click();

  signals:
    void openRequested(const QString& path);

  private:
    void updateButtons();
};

} // namespace davrenta

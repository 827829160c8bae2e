#pragma once

#include <QString>
#include <QTreeWidget>

namespace davrenta {

// The chooser's directory list: the chain of folders from the drive root down to the current
// directory, with the current directory's subdirectories beneath it. Activating a folder
// (double click, Enter) makes it the current directory.
class DirectoryList : public QTreeWidget {
    Q_OBJECT

  public:
    explicit DirectoryList(QWidget* parent = nullptr);

    QString path() const { return path_; }

    // Shows a directory; false (and nothing changes) when it does not exist or cannot be read.
    bool setPath(const QString& path);

  signals:
    // A folder the user activated became the current directory.
    void pathChanged(const QString& path);
    // A folder the user activated could not be read; the list stays as it was.
    void pathRefused(const QString& path);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void activate(QTreeWidgetItem* item);
    void fill();

    QString path_;
};

} // namespace davrenta

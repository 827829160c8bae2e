#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTextBrowser;
class QUrl;

namespace davrenta {

// The user guide inside the program: the Markdown guide with the pictures beside it, its links
// between chapters followed in place. It needs no web browser; links that leave the guide are
// shown as text only. The main window keeps one and shows it again.
class guidefrm : public QDialog {
    Q_OBJECT

  public:
    explicit guidefrm(QWidget* parent = nullptr);

    QTextBrowser* guidetxt;
    QPushButton* homebut;
    QPushButton* backbut;
    QPushButton* closebut;

    // Shows the guide in `file` from its start; false when it cannot be read.
    bool showGuide(const QString& file);

    // The anchor a heading gets, as the guide's own links spell it: lower case, words joined
    // by "-", other signs left out ("Facilities / sites matching" -> "facilities-sites-matching").
    static QString HeadingAnchor(const QString& heading);

  private:
    void nameHeadings();
    void follow(const QUrl& link);
};

} // namespace davrenta

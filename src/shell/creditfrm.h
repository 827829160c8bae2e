#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace davrenta {

// The product, its version and its credits.
class creditfrm : public QDialog {
    Q_OBJECT

  public:
    explicit creditfrm(QWidget* parent = nullptr);

    QLabel* productlbl;
    QLabel* versionlbl;
    QLabel* aboutlbl;
    QLabel* creditlbl;
    QPushButton* okbut2;

    void okbut2_Click();
};

} // namespace davrenta

// The grid service as the study windows use it: cells addressed with the fixed headings
// counted, widths in twips, the first visible row, Tab moving on to the next control.
#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "shell/grid.h"

using davrenta::Grid;

class GridTest : public QObject {
    Q_OBJECT

  private slots:
    void sizeCountsTheFixedHeadings();
    void headingsShowTheirTextsAndNoNumbering();
    void currentCellAddressesText();
    void cellsOutsideTheGridFail();
    void turningHeadingsOffKeepsTheTexts();
    void resizingKeepsTextsThatStayInside();
    void columnWidthInTwipsUsesLogicalDpi();
    void topRowScrollsToTheRow();
    void cellColours();
    void userClickMovesTheCurrentCell();
    void tabLeavesTheGridForTheNextControl();
};

void GridTest::sizeCountsTheFixedHeadings() {
    Grid grid;
    QCOMPARE(grid.rows(), 2);
    QCOMPARE(grid.cols(), 2);
    QCOMPARE(grid.fixedRows(), 1);
    QCOMPARE(grid.fixedCols(), 1);
    grid.setRows(51);
    grid.setCols(61);
    QCOMPARE(grid.rows(), 51);
    QCOMPARE(grid.cols(), 61);
    QCOMPARE(grid.rowCount(), 50); // the heading row is the header, not a table row
    QCOMPARE(grid.columnCount(), 60);
    grid.setFixedCols(0);
    QCOMPARE(grid.columnCount(), 61);
    QVERIFY(grid.verticalHeader()->isHidden());
    QVERIFY(!grid.horizontalHeader()->isHidden());
}

void GridTest::headingsShowTheirTextsAndNoNumbering() {
    Grid grid;
    grid.setRows(4);
    grid.setCols(4);
    for (int c = 1; c < 4; ++c)
        QCOMPARE(grid.horizontalHeaderItem(c - 1)->text(), QString());
    grid.setTextMatrix(0, 3, QStringLiteral("Number Served"));
    grid.setTextMatrix(2, 0, QStringLiteral("2"));
    grid.setTextMatrix(0, 0, QStringLiteral("POD"));
    QCOMPARE(grid.horizontalHeaderItem(2)->text(), QStringLiteral("Number Served"));
    QCOMPARE(grid.verticalHeaderItem(1)->text(), QStringLiteral("2"));
    QCOMPARE(grid.textMatrix(0, 3), QStringLiteral("Number Served"));
    QCOMPARE(grid.textMatrix(2, 0), QStringLiteral("2"));
    QCOMPARE(grid.textMatrix(0, 0), QStringLiteral("POD"));
}

void GridTest::currentCellAddressesText() {
    Grid grid;
    grid.setRows(5);
    grid.setCols(3);
    QVERIFY(grid.setRow(3));
    QVERIFY(grid.setCol(2));
    grid.setText(std::string("B"));
    QCOMPARE(grid.text(), QStringLiteral("B"));
    QCOMPARE(grid.textMatrix(3, 2), QStringLiteral("B"));
    QCOMPARE(grid.item(2, 1)->text(), QStringLiteral("B"));
    QVERIFY(grid.setRow(0));
    grid.setText(QStringLiteral("y pos. (row)"));
    QCOMPARE(grid.horizontalHeaderItem(1)->text(), QStringLiteral("y pos. (row)"));
    QVERIFY(grid.item(0, 0) == nullptr ||
            grid.item(0, 0)->flags().testFlag(Qt::ItemIsEditable) == false);
}

void GridTest::cellsOutsideTheGridFail() {
    Grid grid;
    grid.setRows(3);
    grid.setCols(3);
    QVERIFY(grid.setRow(2));
    QVERIFY(!grid.setRow(3)); // one row more than the grid holds
    QCOMPARE(grid.row(), 2);
    QVERIFY(!grid.setCol(-1));
    QVERIFY(!grid.setTextMatrix(3, 0, QStringLiteral("x")));
    QVERIFY(!grid.setTextMatrix(0, 3, QStringLiteral("x")));
    QCOMPARE(grid.textMatrix(7, 7), QString());
}

void GridTest::turningHeadingsOffKeepsTheTexts() {
    Grid grid;
    grid.setRows(3);
    grid.setCols(3);
    grid.setTextMatrix(0, 1, QStringLiteral("AREA"));
    grid.setTextMatrix(1, 1, QStringLiteral("A"));
    grid.setTextMatrix(2, 0, QStringLiteral("2"));
    grid.setFixedRows(0);
    grid.setFixedCols(0);
    QCOMPARE(grid.rowCount(), 3);
    QCOMPARE(grid.columnCount(), 3);
    QCOMPARE(grid.textMatrix(0, 1), QStringLiteral("AREA"));
    QCOMPARE(grid.item(0, 1)->text(), QStringLiteral("AREA"));
    QCOMPARE(grid.item(1, 1)->text(), QStringLiteral("A"));
    QCOMPARE(grid.item(2, 0)->text(), QStringLiteral("2"));
    QVERIFY(grid.horizontalHeader()->isHidden());
}

void GridTest::resizingKeepsTextsThatStayInside() {
    Grid grid;
    grid.setRows(4);
    grid.setCols(4);
    grid.setTextMatrix(1, 1, QStringLiteral("keep"));
    grid.setTextMatrix(3, 3, QStringLiteral("drop"));
    grid.setRows(3);
    grid.setCols(3);
    grid.setRows(4);
    grid.setCols(4);
    QCOMPARE(grid.textMatrix(1, 1), QStringLiteral("keep"));
    QCOMPARE(grid.textMatrix(3, 3), QString());
}

void GridTest::columnWidthInTwipsUsesLogicalDpi() {
    Grid grid;
    grid.setRows(3);
    grid.setCols(61);
    const int dpi = grid.logicalDpiX();
    grid.setColWidth(3, 1440);
    QCOMPARE(grid.columnWidth(2), dpi);
    QCOMPARE(grid.colWidth(3), 1440);
    grid.setColWidth(5, 255);
    QCOMPARE(grid.columnWidth(4), qRound(255.0 * dpi / 1440));
    grid.setColWidth(0, 720); // the heading column
    QCOMPARE(grid.verticalHeader()->width(), qRound(720.0 * dpi / 1440));
    QCOMPARE(grid.colWidth(0), 720);
}

void GridTest::topRowScrollsToTheRow() {
    Grid grid;
    grid.setRows(51);
    grid.setCols(2);
    grid.resize(200, 150);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(grid.topRow(), 1);
    grid.setTopRow(20);
    QCOMPARE(grid.topRow(), 20);
    QCOMPARE(grid.rowAt(0), 19); // table row 19 is grid row 20
    grid.setTopRow(0);           // the heading row never scrolls
    QCOMPARE(grid.topRow(), 1);
    grid.refresh();
}

void GridTest::cellColours() {
    Grid grid;
    grid.setRows(3);
    grid.setCols(3);
    QVERIFY(!grid.cellBackColor(1, 1).isValid());
    QVERIFY(grid.setCellBackColor(1, 1, Qt::red));
    QCOMPARE(grid.cellBackColor(1, 1), QColor(Qt::red));
    QCOMPARE(grid.item(0, 0)->background().color(), QColor(Qt::red));
    QVERIFY(grid.setCellBackColor(0, 0, Qt::blue));
    QCOMPARE(grid.cellBackColor(0, 0), QColor(Qt::blue));
    QVERIFY(!grid.setCellBackColor(3, 1, Qt::red));
    QVERIFY(grid.setCellForeColor(2, 2, Qt::darkGreen));
}

void GridTest::userClickMovesTheCurrentCell() {
    Grid grid;
    grid.setRows(5);
    grid.setCols(5);
    emit grid.cellClicked(1, 2); // table coordinates
    QCOMPARE(grid.row(), 2);
    QCOMPARE(grid.col(), 3);
}

void GridTest::tabLeavesTheGridForTheNextControl() {
    QWidget window;
    auto* before = new QPushButton(QStringLiteral("Back"), &window);
    auto* grid = new Grid(&window);
    auto* after = new QPushButton(QStringLiteral("Ok"), &window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(before);
    layout->addWidget(grid);
    layout->addWidget(after);
    grid->setRows(51);
    grid->setCols(61);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    grid->setFocus();
    grid->setCurrentCell(0, 0);
    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(after));
    QCOMPARE(grid->currentColumn(), 0);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(before));
}

QTEST_MAIN(GridTest)
#include "grid_test.moc"

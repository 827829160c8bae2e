// Every window of the material-handling-activity study on a small, highly scaled screen: the
// window stays on the screen and scrolls, and no label, box, button or cell is cut short. Twice
// the scale on the offscreen platform's 800 x 600 screen leaves 400 x 300 to lay out in.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QScrollBar>
#include <QtTest>

#include "app/modulestate.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"
#include "smallscreen.h"
#include "studywindows.h"

using namespace davrenta;
using davrenta::testing::ModalDriver;
using davrenta::testing::WholeOnScreen;

namespace {

const char kWhole[] = "on the screen, every text whole and inside the window";

// Every control lies inside the window, or on a page that a scroll area scrolls into view (its
// viewport, or a heading strip beside it): a control wider than the room its window has is cut
// off at the window's edge.
bool InsideTheWindow(QWidget* window, QString* why) {
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(window))
            continue;
        for (QWidget* w = control; w != window; w = w->parentWidget()) {
            QWidget* parent = w->parentWidget();
            if (qobject_cast<QAbstractScrollArea*>(parent->parentWidget()))
                break;
            if (!parent->rect().contains(w->geometry())) {
                *why = davrenta::testing::NameOf(w) + QStringLiteral(" reaches beyond ") +
                       davrenta::testing::NameOf(parent);
                return false;
            }
        }
    }
    return true;
}

bool Whole(QWidget* window, QString* why) {
    return WholeOnScreen(window, why) && InsideTheWindow(window, why);
}

bool SearchEnded(QWidget* w) {
    return !w->findChild<QLabel*>("Label1")->text().isEmpty();
}

// Whether the whole of a control is in view, not scrolled away or clipped.
bool InView(QWidget* w) {
    return w->visibleRegion().boundingRect() == w->rect();
}

QWidget* Control(QWidget* window, const char* name) {
    return window->findChild<QWidget*>(QString::fromLatin1(name));
}

// The last department's row and column headings are in view beside the last box, in its row
// and column; the first row's heading has scrolled away with its boxes.
bool HeadingsBesideTheLastBox(QWidget* window, QString* why) {
    QWidget* box = Control(window, "loadtxt(225)");
    QWidget* column = Control(window, "todeptlbl(15)");
    QWidget* row = Control(window, "fromdeptlbl(15)");
    const QRect cell(box->mapTo(window, QPoint(0, 0)), box->size());
    const QPoint columnMiddle = column->mapTo(window, column->rect().center());
    const QPoint rowMiddle = row->mapTo(window, row->rect().center());
    *why = QStringLiteral("box %1 in view %2, column heading %3 at x %4, row heading %5 at y %6")
               .arg(QString::number(cell.left()) + "-" + QString::number(cell.right()))
               .arg(InView(box))
               .arg(InView(column))
               .arg(columnMiddle.x())
               .arg(InView(row))
               .arg(rowMiddle.y());
    return InView(box) && InView(column) && InView(row) &&
           !InView(Control(window, "fromdeptlbl(1)")) && cell.left() <= columnMiddle.x() &&
           columnMiddle.x() <= cell.right() && cell.top() <= rowMiddle.y() &&
           rowMiddle.y() <= cell.bottom() && columnMiddle.y() < cell.top() &&
           rowMiddle.x() < cell.left();
}

} // namespace

class MhActSmallScreen : public QObject {
    Q_OBJECT

  private:
    davrenta::testing::StudyWindows study{[](mainfrm& m) { m.helpmnu_Click(3); }};

  private slots:
    void init() { study.open(); }
    void cleanup() { study.close(); }

    // Fifteen departments: the largest tables the study shows.
    void everyWindowOfTheStudyScrollsInsteadOfCuttingTextsShort() {
        ModalDriver d(study.main.get());
        d.expectWindow("mhactdescfrm").check(kWhole, Whole).click("Command1");
        d.expectWindow("mhinput1frm").check(kWhole, Whole).click("rectbut");
        d.expectWindow("sourcefrm").check(kWhole, Whole).click("diskbut");
        d.expectWindow("filefrm")
            .check(kWhole, Whole)
            .click("examplesbut")
            .setText("Text1", "assembly-plant.mh")
            .click("okbut");
        d.expectWindow("mhdatafrm")
            .expectText("nametxt(1)", "Receiving")
            .check(kWhole, Whole)
            .click("okbut");
        d.expectWindow("mhdeptfrm")
            .check(kWhole, Whole)
            .expectText("todeptlbl(15)", "Tool Crib")
            .step("scroll to the last box",
                  [](QWidget* w) {
                      auto* table = w->findChild<QAbstractScrollArea*>("movetbl");
                      for (QScrollBar* bar :
                           {table->horizontalScrollBar(), table->verticalScrollBar()})
                          bar->setValue(bar->maximum());
                  })
            .check("the names of the departments stay in view", HeadingsBesideTheLastBox)
            .click("okbut");
        d.expectWindow("mhres1frm").check(kWhole, Whole).click("Command1");
        d.expectWindow("mhres2frm").check(kWhole, Whole).click("noswitchbut");
        d.expectWindow("mhres1frm").click("improvebut");
        d.expectWindow("mhimprovefrm").check(kWhole, Whole).click("keepbut");
        d.expectWindow("mhres1frm").click("bestbut");
        d.expectWindow("mhbestfrm")
            .check(kWhole, Whole)
            .click("searchbut")
            .waitUntil("the search ended", SearchEnded)
            .check(kWhole, Whole)
            .click("keepbut");
        d.expectWindow("mhres1frm").click("newbut").expectNoWindow();
        QVERIFY(study.walk(d));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    MhActSmallScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "smallscreen_test.moc"

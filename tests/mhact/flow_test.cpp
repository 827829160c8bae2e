// The material-handling-activity study walked from the main window, as a user would, headless.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include "app/modulestate.h"
#include "app/studies.h"
#include "mhact/forms/layoutpicture.h"
#include "modaldriver.h"
#include "shell/grid.h"
#include "shell/mainfrm.h"
#include "studywindows.h"

using namespace davrenta;
using davrenta::testing::FileText;
using davrenta::testing::GridOf;
using davrenta::testing::ModalDriver;
using davrenta::testing::PrintCapture;

namespace {

QStringList Row(Grid* g, int row) {
    QStringList cells;
    for (int c = 0; c < g->cols(); ++c)
        cells << g->textMatrix(row, c);
    return cells;
}

// Main window -> description -> distance method.
void Start(ModalDriver& d, const char* method) {
    d.expectWindow("mhactdescfrm")
        .expectCaption("Material Handling Activity")
        .click("Command1")
        .expectWindow("mhinput1frm")
        .click(method);
}

// The best-layout window shows a result once its search has ended.
bool SearchEnded(QWidget* w) {
    return !w->findChild<QLabel*>("Label1")->text().isEmpty();
}

void LoadExample(ModalDriver& d, const QString& name) {
    d.expectWindow("sourcefrm")
        .click("diskbut")
        .expectWindow("filefrm")
        .click("examplesbut")
        .setText("Text1", name)
        .click("okbut");
}

// The control with the focus and those Tab reaches from it, one press at a time.
QStringList TabWalk(QWidget* window, int presses) {
    QStringList names;
    for (int k = 0; k <= presses; ++k) {
        QWidget* focus = window->focusWidget();
        names << (focus ? focus->objectName() : QStringLiteral("none"));
        QTest::keyClick(focus ? focus : window, Qt::Key_Tab);
    }
    return names;
}

std::function<bool(QWidget*, QString*)> Tabs(const char* expected, int presses) {
    return [expected, presses](QWidget* w, QString* why) {
        *why = TabWalk(w, presses).join(' ');
        return *why == QLatin1String(expected);
    };
}

} // namespace

class MhActFlow : public QObject {
    Q_OBJECT

  private:
    davrenta::testing::StudyWindows study{[](mainfrm& m) { m.helpmnu_Click(3); }};
    ModuleState& state = study.state;
    std::unique_ptr<mainfrm>& main = study.main;
    QTemporaryDir& dir = study.dir;

    bool walk(ModalDriver& d) { return study.walk(d); }

  private slots:
    void init() { study.open(); }
    void cleanup() { study.close(); }

    void helpEntryIsEnabled() { QVERIFY(main->helpmnu[3]->isEnabled()); }

    void keyboardProblemThroughTheSwitchToASecondResultsWindow() {
        PrintCapture prints;
        ModalDriver d(main.get());
        Start(d, "rectbut");
        d.expectWindow("sourcefrm")
            .click("Keybut")
            .expectWindow("mhdatafrm")
            .expectCaption("Input Data")
            .expectText("numlbl(1)", " 1")
            .setText("nametxt(1)", "Press")
            .setText("xtxt(1)", "0")
            .setText("ytxt(1)", "1")
            .setText("nametxt(2)", "Paint")
            .setText("xtxt(2)", "20")
            .setText("ytxt(2)", "1 m")
            .setText("nametxt(3)", "Pack")
            .setText("xtxt(3)", "35")
            .setText("ytxt(3)", "1")
            .click("okbut")
            .expectWindow("mhdeptfrm")
            .expectText("fromdeptlbl(1)", "Press")
            .expectText("todeptlbl(3)", "Pack")
            .setText("loadtxt(2)", "6")
            .setText("loadtxt(16)", "4 loads")
            .setText("loadtxt(3)", "")
            .click("prtbut")
            .click("okbut")
            .expectWindow("mhres1frm")
            .expectCaption("MH Results")
            .check("listed pair",
                   [](QWidget* w, QString* why) {
                       Grid* g = GridOf(w, "res1grd");
                       *why = Row(g, 1).join(',');
                       return g->rows() == 2 && *why == "Press,Paint,10,20.0,200.0,100.00" &&
                              g->textMatrix(0, 4) == "LOADS X DIST";
                   })
            .expectText("Label1",
                        "CURRENT MH ACTIVITY (RECT) \nAVERAGE MOVE DISTANCE\nSTANDARD DEVIATION")
            .expectText("Label2", "10\n20.0\n0.0")
            .expectText("Label3", "200")
            .expectText("Label4", "Load x Dist Sum")
            .check("flow diagram",
                   [](QWidget* w, QString* why) {
                       auto* pic = w->findChild<LayoutPicture*>("layoutpic");
                       *why = QString::number(pic->lines().size());
                       return pic->places().size() == 3 && pic->places()[2].name == "Pack" &&
                              pic->lines().size() == 1;
                   })
            .click("Command1")
            .expectWindow("mhres2frm")
            .expectCaption("Results 2")
            .expectText("Label1", "OPTIMAL SWITCH = Press <---> Pack 150.0    Reduction 25.0%")
            .check("trials",
                   [](QWidget* w, QString* why) {
                       Grid* g = GridOf(w, "res2grd");
                       *why = Row(g, 2).join(',');
                       return g->rows() == 4 && *why == "Press,Pack,150" &&
                              !w->findChild<QWidget*>("donebut")->isVisible();
                   })
            .click("switchbut")
            .expectWindow("mhdatafrm")
            .expectText("xtxt(1)", "35")
            .expectText("xtxt(3)", "0")
            .expectText("nametxt(1)", "Press")
            .click("okbut")
            .expectWindow("mhdeptfrm")
            .expectText("loadtxt(2)", "10")
            .expectText("loadtxt(16)", "0")
            .click("okbut")
            .expectWindow("mhres1frm")
            .expectText("Label3", "150")
            .click("prntbut")
            .click("newbut")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(prints.reports.size(), std::size_t{2});
        const std::vector<std::string> moveTable = RenderText(prints.reports[0]);
        QCOMPARE(moveTable.size(), std::size_t{9});
        QCOMPARE(moveTable[4], std::string("  Press    0    6    0"));
        QCOMPARE(moveTable[6], std::string("  Paint    4    0    0"));
        const std::vector<std::string> results = RenderText(prints.reports[1]);
        QCOMPARE(results.size(), std::size_t{4});
        QCOMPARE(results[3], std::string("Press    Paint     10     15.0    150.0    100.00"));
        QCOMPARE(state.mh.DeptX[1], 35.0);
        QCOMPARE(state.ModuleFlag, Study::MhActivity);
    }

    void printAfterTheSwitchWindowShowsTheCurrentLayout() {
        PrintCapture prints;
        ModalDriver d(main.get());
        Start(d, "eucbut");
        LoadExample(d, "machine-shop.mh");
        d.expectWindow("mhdatafrm")
            .expectText("nametxt(8)", "Shipping")
            .click("okbut")
            .expectWindow("mhdeptfrm")
            .click("okbut")
            .expectWindow("mhres1frm")
            .expectText("Label3", "4644")
            .click("Command1")
            .expectWindow("mhres2frm")
            .click("noswitchbut")
            .expectWindow("mhres1frm")
            .click("prntbut")
            .click("Command1")
            .expectWindow("mhres2frm")
            .expectText("Label1", "OPTIMAL SWITCH = Mill <---> Grind 4002.2    Reduction 13.8%")
            .click("noswitchbut")
            .expectWindow("mhres1frm")
            .click("newbut")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(prints.reports.size(), std::size_t{1});
        const std::vector<std::string> lines = RenderText(prints.reports[0]);
        QCOMPARE(lines[3], std::string("Receiving    Saw     60     10.0    600.0    12.92"));
    }

    void savedProblemLoadsBackWithTheSameResults() {
        ModalDriver d(main.get());
        Start(d, "sqeucbut");
        LoadExample(d, "mezzanine.mh");
        d.expectWindow("mhdatafrm")
            .click("okbut")
            .expectWindow("mhdeptfrm")
            .expectText("loadtxt(5)", "6")
            .expectText("loadtxt(61)", "2")
            .click("okbut")
            .expectWindow("mhres1frm")
            .expectText("Label3", "14900")
            .click("savebut")
            .expectWindow("filefrm")
            // The chooser stays in the examples' folder it last showed: save beside the test.
            .setText("Text1", dir.filePath("mezzanine-copy"))
            .click("okbut")
            .expectWindow("mhres1frm")
            .click("newbut")
            .expectNoWindow();
        QVERIFY(walk(d));
        const QString saved = FileText(dir.filePath("mezzanine-copy.mh"));
        QVERIFY(saved.startsWith(
            " 5 \r\nOffices       ,              5            ,              5 \r\n"));

        ModalDriver again(main.get());
        Start(again, "sqeucbut");
        again.expectWindow("sourcefrm")
            .click("diskbut")
            .expectWindow("filefrm")
            .setText("Text1", dir.filePath("mezzanine-copy.mh"))
            .click("okbut")
            .expectWindow("mhdatafrm")
            .click("okbut")
            .expectWindow("mhdeptfrm")
            .expectText("loadtxt(5)", "8")
            .expectText("loadtxt(61)", "0")
            .click("okbut")
            .expectWindow("mhres1frm")
            .expectText("Label3", "14900")
            .expectText("Label2", "131\n113.7\n34.6")
            .click("newbut")
            .expectNoWindow();
        QVERIFY(walk(again));
    }

    void aBrokenFileIsToldAndTheProblemStays() {
        QFile f(dir.filePath("broken.mh"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("2\r\nPress,1,2\r\nPaint,3\r\n");
        f.close();
        state.mh.DeptCount = 1;
        state.mh.DeptName[1] = "Kept";
        state.mh.DeptY[1] = 4;
        const QString path = QDir::currentPath() + QStringLiteral("/broken.mh");
        ModalDriver d(main.get());
        Start(d, "rectbut");
        d.expectWindow("sourcefrm")
            .click("diskbut")
            .expectWindow("filefrm")
            .setText("Text1", "broken.mh")
            .click("okbut")
            .expectMessage(
                QStringLiteral(
                    "The file %1 cannot be read: line 3, department 2: the file "
                    "ends before the Y of department 2. The current problem is unchanged.")
                    .arg(path))
            .expectWindow("mhinput1frm")
            .click("backbut")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(state.mh.DeptCount, 1);
        QCOMPARE(QString::fromStdString(state.mh.DeptName[1]), QStringLiteral("Kept"));
    }

    void figuresBeyondTheLargestNumberAreToldWhereTheyCanBeChanged() {
        ModalDriver d(main.get());
        Start(d, "sqeucbut");
        d.expectWindow("sourcefrm")
            .click("Keybut")
            .expectWindow("mhdatafrm")
            .setText("nametxt(1)", "Press")
            .setText("xtxt(1)", "0")
            .setText("ytxt(1)", "1")
            .setText("nametxt(2)", "Paint")
            .setText("xtxt(2)", "3")
            .setText("ytxt(2)", "1")
            .setText("nametxt(3)", "Far")
            .setText("xtxt(3)", "1e308")
            .setText("ytxt(3)", "1")
            .click("okbut")
            .expectWindow("mhdeptfrm")
            // Both directions together go beyond the largest number.
            .setText("loadtxt(2)", "1.7e308")
            .setText("loadtxt(16)", "1.7e308")
            .click("okbut")
            .expectMessage("The locations and moves are too large to compute with: a combined "
                           "number of moves goes beyond the largest number. Bring the "
                           "departments closer together or make the moves smaller, and compute "
                           "again.")
            .expectWindow("mhdeptfrm")
            .check("moves left as typed",
                   [this](QWidget*, QString* why) {
                       *why = "the refused computation combined the moves";
                       return state.mh.MoveCount(1, 2) == 1.7e308 &&
                              state.mh.MoveCount(2, 1) == 1.7e308;
                   })
            .setText("loadtxt(2)", "2")
            .setText("loadtxt(16)", "")
            .click("okbut")
            .expectWindow("mhres1frm")
            .expectText("Label3", "18")
            // Exchanged with Press, Far puts the loads beyond every distance.
            .click("Command1")
            .expectMessage("The locations and moves are too large to compute with: the "
                           "activity after an exchange goes beyond the largest number. Bring "
                           "the departments closer together or make the moves smaller, and "
                           "compute again.")
            .expectWindow("mhres1frm")
            .expectText("Label3", "18")
            .click("newbut")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(state.mh.MoveCount(1, 2), 2.0);
    }

    void emptyDepartmentWindowSaysNoDataAndImproveTakesTheBestLayout() {
        ModalDriver d(main.get());
        Start(d, "rectbut");
        d.expectWindow("sourcefrm")
            .click("Keybut")
            .expectWindow("mhdatafrm")
            .click("okbut")
            .expectMessage("No data entered!")
            .click("backbut")
            .expectNoWindow();
        QVERIFY(walk(d));

        ModalDriver improve(main.get());
        Start(improve, "rectbut");
        LoadExample(improve, "assembly-plant.mh");
        improve.expectWindow("mhdatafrm")
            .click("okbut")
            .expectWindow("mhdeptfrm")
            .click("okbut")
            .expectWindow("mhres1frm")
            .click("improvebut")
            .expectWindow("mhimprovefrm")
            .check("steps",
                   [](QWidget* w, QString* why) {
                       Grid* g = GridOf(w, "impgrd");
                       *why = w->findChild<QLabel*>("Label1")->text();
                       return g->rows() >= 4 &&
                              Row(g, 2).join(',') == "1,Receiving,Shipping,25215" &&
                              *why ==
                                  "IMPROVED LAYOUT AFTER 6 SWITCHES = 18015.0    Reduction 45.4%";
                   })
            .click("acceptbut")
            .expectWindow("mhdatafrm")
            .click("okbut")
            .expectWindow("mhdeptfrm")
            .click("okbut")
            .expectWindow("mhres1frm")
            .click("Command1")
            .expectWindow("mhres2frm")
            .expectText("Label1", "NO IMPROVEMENTS")
            .check("done only",
                   [](QWidget* w, QString*) {
                       return w->findChild<QWidget*>("donebut")->isVisible() &&
                              !w->findChild<QWidget*>("switchbut")->isVisible();
                   })
            .click("donebut")
            .expectWindow("mhres1frm")
            .click("newbut")
            .expectNoWindow();
        QVERIFY(walk(improve));
    }

    void bestLayoutBesideImproveIsProvenPrintedAndTaken() {
        PrintCapture prints;
        ModalDriver d(main.get());
        Start(d, "rectbut");
        LoadExample(d, "assembly-plant.mh");
        d.expectWindow("mhdatafrm")
            .click("okbut")
            .expectWindow("mhdeptfrm")
            .click("okbut")
            .expectWindow("mhres1frm")
            .expectText("Label3", "32965")
            .click("bestbut")
            .expectWindow("mhbestfrm")
            .expectCaption("Best Layout")
            .expectText("limittxt", "60")
            .check("nothing to take before a search",
                   [](QWidget* w, QString*) {
                       return !w->findChild<QWidget*>("acceptbut")->isVisible() &&
                              !w->findChild<QWidget*>("prntbut")->isEnabled();
                   })
            .click("searchbut")
            .waitUntil("the search ended", SearchEnded)
            .expectText("Label1", "BEST LAYOUT = 17180.0    Reduction 47.9%\n"
                                  "PROVEN: NO LAYOUT OF THESE PLACES HAS A LOWER ACTIVITY")
            .expectText("Label2", "CURRENT LAYOUT 32965.0, 91.9% ABOVE THE BEST\n"
                                  "IMPROVE RESULT 18015.0, 4.9% ABOVE THE BEST")
            .expectText("progresslbl", "The search is complete.")
            .check("each department's place and the flow diagram of the best layout",
                   [](QWidget* w, QString* why) {
                       Grid* g = GridOf(w, "bestgrd");
                       auto* pic = w->findChild<LayoutPicture*>("layoutpic");
                       *why = Row(g, 0).join(',');
                       return g->rows() == 16 && *why == "DEPARTMENT,X,Y,PLACE OF" &&
                              pic->places().size() == 15 && !pic->lines().empty();
                   })
            .click("prntbut")
            .click("acceptbut")
            .expectWindow("mhdatafrm")
            .click("okbut")
            .expectWindow("mhdeptfrm")
            .click("okbut")
            .expectWindow("mhres1frm")
            .expectText("Label3", "17180")
            .click("bestbut")
            .expectWindow("mhbestfrm")
            .click("searchbut")
            .waitUntil("the search ended", SearchEnded)
            .expectText("Label1", "THE CURRENT LAYOUT IS THE BEST = 17180.0\n"
                                  "PROVEN: NO LAYOUT OF THESE PLACES HAS A LOWER ACTIVITY")
            .check("nothing to accept",
                   [](QWidget* w, QString*) {
                       return !w->findChild<QWidget*>("acceptbut")->isVisible();
                   })
            .click("keepbut")
            .expectWindow("mhres1frm")
            .click("newbut")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(prints.reports.size(), std::size_t{1});
        const std::vector<std::string> lines = RenderText(prints.reports[0]);
        QCOMPARE(lines[2], std::string("Best layout, rectilinear distance"));
        QCOMPARE(lines.size(), std::size_t{25});
        QCOMPARE(state.mh.DeptCount, 15);
    }

    void bestLayoutStoppedByTheTimeLimitOrCancelSaysSoAndKeepsTheLayout() {
        // Fifteen departments with dense moves: a search of many seconds.
        QFile f(dir.filePath("dense.mh"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("15\r\n");
        for (int k = 0; k < 15; ++k)
            f.write(QStringLiteral("D%1,%2,%3\r\n")
                        .arg(k)
                        .arg(10 * (k % 5))
                        .arg(10 + 10 * (k / 5))
                        .toLatin1());
        for (int a = 0; a < 15; ++a)
            for (int b = 0; b < 15; ++b)
                f.write(QByteArray::number(
                            a < b && (a * 7 + b * 3) % 5 != 0 ? 1 + (a * b + 3 * a + b) % 37 : 0) +
                        "\r\n");
        f.close();
        auto stopped = [](const char* why) {
            return [why](QWidget* w) {
                return w->findChild<QLabel*>("Label1")->text().contains(QString::fromLatin1(why));
            };
        };
        ModalDriver d(main.get());
        Start(d, "sqeucbut");
        d.expectWindow("sourcefrm")
            .click("diskbut")
            .expectWindow("filefrm")
            .setText("Text1", dir.filePath("dense.mh"))
            .click("okbut")
            .expectWindow("mhdatafrm")
            .click("okbut")
            .expectWindow("mhdeptfrm")
            .click("okbut")
            .expectWindow("mhres1frm")
            .click("bestbut")
            .expectWindow("mhbestfrm")
            .setText("limittxt", "0")
            .click("searchbut")
            .expectMessage("The time limit must be a number of seconds above 0.")
            .expectWindow("mhbestfrm")
            .setText("limittxt", "0.001")
            .click("searchbut")
            .waitUntil("stopped at the time limit", stopped("THE TIME LIMIT WAS REACHED"))
            .expectText("progresslbl", "The search stopped before the end.")
            .setText("limittxt", "600")
            .click("searchbut")
            .waitUntil("the search goes on",
                       [](QWidget* w) { return w->findChild<QWidget*>("cancelbut")->isVisible(); })
            .check("the result waits for the search",
                   [](QWidget* w, QString*) {
                       return !w->findChild<QWidget*>("searchbut")->isEnabled() &&
                              !w->findChild<QWidget*>("keepbut")->isEnabled();
                   })
            .click("cancelbut")
            .waitUntil("cancelled", stopped("NOT PROVEN: THE SEARCH WAS CANCELLED. LOWER BOUND "))
            .click("keepbut")
            .expectWindow("mhres1frm")
            .click("newbut")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(state.mh.DeptX[2], 10.0);
        QCOMPARE(state.mh.DeptY[7], 20.0);
    }

    // Each window opens with the focus where typing starts, and Tab goes through its controls
    // as they are read: left to right, top to bottom.
    void focusStartsWhereTypingDoesAndTabFollowsTheReadingOrder() {
        ModalDriver d(main.get());
        Start(d, "rectbut");
        LoadExample(d, "machine-shop.mh");
        d.expectWindow("mhdatafrm")
            .check("from the first name on",
                   Tabs("nametxt(1) xtxt(1) ytxt(1) nametxt(2) xtxt(2)", 4))
            .step("to the last row",
                  [](QWidget* w) { w->findChild<QWidget*>("ytxt(15)")->setFocus(); })
            .check("the buttons after the table", Tabs("ytxt(15) okbut backbut nametxt(1)", 3))
            .click("okbut")
            .expectWindow("mhdeptfrm")
            .check("from the moves of the first department to the second",
                   Tabs("loadtxt(2) loadtxt(3) loadtxt(4)", 2))
            .step("to the last department's moves",
                  [](QWidget* w) { w->findChild<QWidget*>("loadtxt(113)")->setFocus(); })
            .check("the buttons after the boxes", Tabs("loadtxt(113) prtbut okbut loadtxt(1)", 3))
            .click("okbut")
            .expectWindow("mhres1frm")
            .step("to the table", [](QWidget* w) { w->findChild<QWidget*>("res1grd")->setFocus(); })
            .check("the table, then the buttons left to right",
                   Tabs("res1grd Command1 improvebut bestbut prntbut exportbut savebut newbut "
                        "res1grd",
                        8))
            .click("bestbut")
            .expectWindow("mhbestfrm")
            .click("searchbut")
            .waitUntil("the search ended", SearchEnded)
            .step("to the time limit",
                  [](QWidget* w) { w->findChild<QWidget*>("limittxt")->setFocus(); })
            .check(
                "the limit, the table, then the buttons",
                Tabs("limittxt searchbut bestgrd acceptbut keepbut prntbut exportbut limittxt", 7))
            .click("keepbut")
            .expectWindow("mhres1frm")
            .click("newbut")
            .expectNoWindow();
        QVERIFY(walk(d));
    }
};

QTEST_MAIN(MhActFlow)
#include "flow_test.moc"

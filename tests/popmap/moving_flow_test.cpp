// Moving the PODs on the result map, walked from the main window with keys and the mouse.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/modulestate.h"
#include "modaldriver.h"
#include "popmap/mapfile.h"
#include "popmap/search.h"
#include "shell/grid.h"
#include "shell/mainfrm.h"
#include "studywindows.h"
#include "walks.h"

using namespace davrenta;
using davrenta::testing::GridOf;
using davrenta::testing::LoadFile;
using davrenta::testing::ModalDriver;
using davrenta::testing::Setup;

namespace {

// From the review window to the map of the service areas with the new POD, then its Move PODs.
void ToMovingMap(ModalDriver& d) {
    d.expectWindow("flocgridfrm").click("Okbut").expectWindow("flareafrm").click("okbut");
    d.expectWindow("flresultfrm").click("okbut").expectWindow("flareafrm").click("okbut");
    d.expectWindow("flpopfrm").click("okbut").expectWindow("flareafrm").click("okbut");
    d.expectWindow("flservfrm").click("okbut").expectWindow("flareafrm");
    d.expectCaption("SERVICE AREAS FOR EACH EXISTING FACILITY PLUS NEW FACILITY")
        .click("movebut")
        .expectWindow("movemapfrm");
}

QString LabelText(QWidget* w, const char* name) {
    return w->findChild<QLabel*>(QString::fromLatin1(name))->text();
}

void Key(QWidget* w, Qt::Key key) {
    QTest::keyClick(GridOf(w, "mapgrd"), key);
}

// A drag on the map from one cell to another (line, column), through the cells between.
void Drag(QWidget* w, std::pair<int, int> from, std::pair<int, int> to) {
    Grid* g = GridOf(w, "mapgrd");
    auto at = [g](std::pair<int, int> cell) {
        const QModelIndex index = g->model()->index(cell.first - 1, cell.second - 1);
        g->scrollTo(index);
        return g->visualRect(index).center();
    };
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, at(from));
    QTest::mouseMove(g->viewport(), at(to));
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, at(to));
}

} // namespace

class MovingFlow : public QObject {
    Q_OBJECT

  private:
    davrenta::testing::StudyWindows study{[](mainfrm& m) { m.flcmd_Click(); }};
    ModuleState& state = study.state;
    std::unique_ptr<mainfrm>& main = study.main;
    QTemporaryDir& dir = study.dir;

    bool walk(ModalDriver& d) { return study.walk(d); }

  private slots:
    void init() { study.open(); }
    void cleanup() { study.close(); }

    // Cells of 50 people at columns 1..3 of one line: the best POD stands in the middle.
    void keysAndMouseMoveTheNewPodAndTheFiguresFollow() {
        ModalDriver d(main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        LoadFile(d, "worked-example.fl");
        ToMovingMap(d);
        QString byKeys;
        d.expectText("changelbl", "At the search's optimum")
            .expectText("coordlbl", "COORDINATES OF NEW POD 1 (*) (x,y)= 2, 1")
            .step("right arrow", [](QWidget* w) { Key(w, Qt::Key_Right); })
            .expectText("coordlbl", "COORDINATES OF NEW POD 1 (*) (x,y)= 3, 1")
            .expectText("changelbl", "+50.0 % travel against the optimum")
            .step("right arrow at the end of the line", [](QWidget* w) { Key(w, Qt::Key_Right); })
            .expectText("coordlbl", "COORDINATES OF NEW POD 1 (*) (x,y)= 3, 1")
            .step("two left arrows",
                  [](QWidget* w) {
                      Key(w, Qt::Key_Left);
                      Key(w, Qt::Key_Left);
                  })
            .readText("figureslbl", &byKeys)
            .expectText("coordlbl", "COORDINATES OF NEW POD 1 (*) (x,y)= 1, 1")
            .click("optimumbut")
            .expectText("changelbl", "At the search's optimum")
            .check("map after Back to the optimum",
                   [](QWidget* w, QString* why) {
                       Grid* g = GridOf(w, "mapgrd");
                       *why = g->textMatrix(1, 1) + g->textMatrix(1, 2) + g->textMatrix(1, 3);
                       return *why == "***";
                   })
            .step("drag to the first cell",
                  [](QWidget* w) {
                      Drag(w, {1, 2}, {1, 1});
                  })
            .expectText("coordlbl", "COORDINATES OF NEW POD 1 (*) (x,y)= 1, 1")
            .check("the drag's figures are the keys'",
                   [&byKeys](QWidget* w, QString* why) {
                       *why = LabelText(w, "figureslbl") + " vs " + byKeys;
                       return LabelText(w, "figureslbl") == byKeys &&
                              LabelText(w, "changelbl") == "+50.0 % travel against the optimum";
                   })
            .click("Savebut")
            .expectWindow("filefrm")
            .setText("Text1", dir.filePath("moved.fl"))
            .click("okbut")
            .expectWindow("movemapfrm")
            .click("surfacechk")
            .check("surface scale",
                   [](QWidget* w, QString* why) {
                       auto* scale = w->findChild<QLabel*>("surfacelbl");
                       *why = scale->accessibleDescription();
                       return scale->isVisible() &&
                              *why == "One new POD at each cell, its total travel: 10 (best) to "
                                      "15 (worst); best cell (x,y)= 2, 1";
                   })
            .click("okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectWindow("flservfrm")
            .click("ok2but")
            .expectNoWindow();
        QVERIFY(walk(d));
        // The study's result is still the search's; the saved problem has the moved POD.
        QCOMPARE(state.fl.NewPodColumn, 2);
        QCOMPARE(state.fl.BestTravel, 10.0);
        QCOMPARE(state.fl.ExistingPodCount, 0);
        ModuleState saved;
        saved.ModuleFlag = Study::PopMap;
        saved.ProblemFileName = dir.filePath("moved.fl").toStdString();
        QVERIFY(ReadMapFile(saved).ok());
        QCOMPARE(saved.fl.ExistingPodCount, 1);
        QCOMPARE(saved.fl.PodLine[1], 1);
        QCOMPARE(saved.fl.PodColumn[1], 1);
    }

    // An existing POD moved down a line: the best new POD is searched again and follows.
    void theBestNewPodFollowsAMovedExistingPod() {
        ModalDriver d(main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        LoadFile(d, "mid-county.fl");
        ToMovingMap(d);
        std::pair<int, int> existing;
        d.select("podbox", "POD 1 (A)")
            .click("followchk")
            .step("down arrow",
                  [&](QWidget* w) {
                      Key(w, Qt::Key_Down);
                      existing = {state.fl.PodLine[1] + 1, state.fl.PodColumn[1]};
                  })
            .check("the new POD is the search's for the moved POD",
                   [&](QWidget* w, QString* why) {
                       ModuleState moved;
                       moved.ModuleFlag = Study::PopMap;
                       moved.ProblemFileName =
                           std::string(DAVRENTA_EXAMPLES_DIR) + "/mid-county.fl";
                       if (!ReadMapFile(moved).ok())
                           return false;
                       moved.fl.PodLine[1] = existing.first;
                       moved.fl.PodColumn[1] = existing.second;
                       if (PlainOnePodSearch(moved).status != SearchStatus::Done)
                           return false;
                       *why = LabelText(w, "coordlbl");
                       return *why == QStringLiteral("COORDINATES OF NEW POD 1 (*) (x,y)= %1, %2")
                                          .arg(moved.fl.NewPodColumn)
                                          .arg(moved.fl.NewPodLine);
                   })
            .closeAll();
        QVERIFY(walk(d));
    }
};

QTEST_MAIN(MovingFlow)
#include "moving_flow_test.moc"

// Moving the PODs on the result map, walked from the main window with keys and the mouse.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/modulestate.h"
#include "modaldriver.h"
#include "popmap/forms/movemapfrm.h"
#include "popmap/mapfile.h"
#include "popmap/search.h"
#include "shell/grid.h"
#include "shell/mainfrm.h"
#include "state/numbers.h"
#include "studywindows.h"
#include "walks.h"

using namespace davrenta;
using davrenta::testing::GridOf;
using davrenta::testing::LoadFile;
using davrenta::testing::ModalDriver;
using davrenta::testing::Setup;
using davrenta::testing::ToFirstResults;
using davrenta::testing::ToNumberedMap;

namespace {

// From the review window to the map of the service areas with the new POD, then its Move PODs.
void ToMovingMap(ModalDriver& d) {
    ToFirstResults(d).click("okbut").expectWindow("flareafrm");
    d.expectCaption("SERVICE AREAS FOR EACH EXISTING FACILITY PLUS NEW FACILITY")
        .click("movebut")
        .expectWindow("movemapfrm");
}

// From the review window to the map of the existing PODs' service areas, then its Move PODs.
void ToExistingMovingMap(ModalDriver& d) {
    ToNumberedMap(d)
        .click("okbut")
        .expectWindow("flpopfrm")
        .click("okbut")
        .expectWindow("flareafrm");
    d.expectCaption("SERVICE AREAS FOR EACH EXISTING FACILITY")
        .click("movebut")
        .expectWindow("movemapfrm");
}

// mid-county.fl as the example has it, prepared as a search prepares it.
ModuleState MidCounty() {
    ModuleState s;
    s.ModuleFlag = Study::PopMap;
    s.ProblemFileName = std::string(DAVRENTA_EXAMPLES_DIR) + "/mid-county.fl";
    if (!ReadMapFile(s).ok())
        s.fl.AreaCount = 0;
    return s;
}

// Types into the population box key by key and presses Enter, as a user does.
void TypePopulation(QWidget* w, const QString& text) {
    auto* box = w->findChild<QLineEdit*>("poptxt");
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
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

    // On the map before the new POD only the existing PODs move; their figures are a fresh
    // evaluation of the moved PODs, and the search's new POD is nowhere on that map.
    void theExistingPodsMapMovesOnlyTheExistingPods() {
        ModalDriver d(main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        LoadFile(d, "mid-county.fl");
        ToExistingMovingMap(d);
        d.expectText("changelbl", "Where the problem has them")
            .check("only the existing PODs to choose",
                   [&](QWidget* w, QString* why) {
                       auto* box = w->findChild<QComboBox*>("podbox");
                       *why = QString::number(box->count()) + " " + box->currentText();
                       return box->count() == state.fl.ExistingPodCount &&
                              box->currentText() == "POD 1 (A)" &&
                              !w->findChild<QCheckBox*>("followchk")->isVisible();
                   })
            .step("down arrow", [](QWidget* w) { Key(w, Qt::Key_Down); })
            .check("the figures of the moved existing PODs",
                   [&](QWidget* w, QString* why) {
                       ModuleState moved = MidCounty();
                       moved.fl.PodLine[1] += 1;
                       if (!PrepareSearch(moved))
                           return false;
                       const QString average = QString::fromStdString(
                           "PRIOR AVG. DIST. TRAVELED " +
                           FormatPicture(kDistanceScale * moved.fl.PriorAverageDistance, "0.000"));
                       Grid* pods = GridOf(w, "facgrd");
                       Grid* map = GridOf(w, "mapgrd");
                       QString cells;
                       for (int i = 1; i <= LastMapLine(moved.fl); ++i)
                           for (int j = 1; j <= CellsInLine(moved.fl, i); ++j)
                               cells += map->textMatrix(i, j);
                       QString expected;
                       for (int i = 1; i <= LastMapLine(moved.fl); ++i)
                           for (int j = 1; j <= CellsInLine(moved.fl, i); ++j)
                               expected += QChar::fromLatin1(moved.fl.MarkedServiceMap[i][j - 1]);
                       *why = LabelText(w, "priorlbl") + " / " + average + "; " +
                              pods->textMatrix(1, 3);
                       return LabelText(w, "priorlbl").startsWith(average) &&
                              pods->rows() == moved.fl.ExistingPodCount + 1 &&
                              pods->textMatrix(1, 3) ==
                                  QString::fromStdString(
                                      PlainForm(IntegerPart(moved.fl.ExistingPodServed[1]))) &&
                              cells == expected && !cells.contains('*') &&
                              LabelText(w, "changelbl").endsWith("travel against where they stood");
                   })
            .click("optimumbut")
            .expectText("changelbl", "Where the problem has them")
            .click("okbut")
            .expectWindow("flareafrm")
            .closeAll();
        QVERIFY(walk(d));
        QCOMPARE(state.fl.PodLine[1], MidCounty().fl.PodLine[1]);
    }

    // An area's population typed in: the areas, the figures and the best new POD follow;
    // bad text is refused; Save stores the edited population and the study keeps its own.
    void aPopulationEditFollowsWithTheBestNewPod() {
        ModalDriver d(main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        LoadFile(d, "mid-county.fl");
        ToMovingMap(d);
        d.click("followchk")
            .select("areabox", "A")
            .expectText("poptxt", "8010")
            .step("20000 typed", [](QWidget* w) { TypePopulation(w, "20000"); })
            .check("the best new POD of the edited problem",
                   [&](QWidget* w, QString* why) {
                       ModuleState edited = MidCounty();
                       edited.fl.AreaPopulation[1] = 20000;
                       edited.fl.TotalPopulation = SumPopulation(edited.fl);
                       if (PlainOnePodSearch(edited).status != SearchStatus::Done)
                           return false;
                       *why = LabelText(w, "coordlbl") + "; " + LabelText(w, "changelbl");
                       return LabelText(w, "coordlbl") ==
                                  QStringLiteral("COORDINATES OF NEW POD 1 (*) (x,y)= %1, %2")
                                      .arg(edited.fl.NewPodColumn)
                                      .arg(edited.fl.NewPodLine) &&
                              LabelText(w, "changelbl") != "At the search's optimum";
                   })
            .step("bad text typed", [](QWidget* w) { TypePopulation(w, "12x"); })
            .expectMessage("The population of area \"A\" must be a number of 0 or more, not "
                           "\"12x\".")
            .expectText("poptxt", "20000")
            .click("Savebut")
            .expectWindow("filefrm")
            .setText("Text1", dir.filePath("edited.fl"))
            .click("okbut")
            .expectWindow("movemapfrm")
            .click("optimumbut")
            .expectText("changelbl", "At the search's optimum")
            .expectText("poptxt", "8010")
            .closeAll();
        QVERIFY(walk(d));
        QCOMPARE(state.fl.AreaPopulation[1], 8010.0);
        ModuleState saved;
        saved.ModuleFlag = Study::PopMap;
        saved.ProblemFileName = dir.filePath("edited.fl").toStdString();
        QVERIFY(ReadMapFile(saved).ok());
        QCOMPARE(saved.fl.AreaPopulation[1], 20000.0);
        QCOMPARE(saved.fl.ExistingPodCount, state.fl.ExistingPodCount + 1);
    }

    // A result the moving layout cannot take (no new POD placed, or more PODs than a problem
    // holds): the window says why and leaves only Ok; turning the surface on or pressing the
    // arrows must not reach for the missing layout.
    void aResultThatCannotBeMovedLeavesOnlyOk() {
        ModuleState s = MidCounty();
        QVERIFY(PrepareSearch(s));
        s.fl.maptype = MapType::NewService;
        ModuleState many = s;
        s.fl.NewPodCount = 1;
        s.fl.NewPodLine = 0;
        s.fl.NewPodColumn = 0;
        many.fl.NewPodCount = 26;
        for (int q = 1; q <= 26; ++q) {
            many.fl.NewPodsLine[q] = 1;
            many.fl.NewPodsColumn[q] = 3;
        }
        const std::pair<ModuleState*, QString> cases[] = {
            {&s, "The search placed no new POD: no cell improves on the existing PODs under this "
                 "measure, so there is nothing to move."},
            {&many, "A problem holds at most 31 PODs: 6 existing PODs leave room for 25 new ones."},
        };
        for (const auto& [state, message] : cases) {
            ModalDriver d(main.get());
            d.expectMessage(message)
                .expectWindow("movemapfrm")
                .check("only Ok is left",
                       [](QWidget* w, QString* why) {
                           QStringList shown;
                           for (auto* b : w->findChildren<QAbstractButton*>())
                               if (b->isVisible() && !b->objectName().isEmpty())
                                   shown << b->objectName(); // the grids' corners unnamed
                           *why = shown.join(' ');
                           return shown == QStringList{"okbut"};
                       })
                .step("the surface turned on",
                      [](QWidget* w) { w->findChild<QCheckBox*>("surfacechk")->setChecked(true); })
                .step("arrows and Back to the optimum",
                      [](QWidget* w) {
                          Key(w, Qt::Key_Down);
                          static_cast<movemapfrm*>(w)->optimumbut_Click();
                          static_cast<movemapfrm*>(w)->Savebut_Click();
                      })
                .expectMessage(message)
                .click("okbut")
                .expectNoWindow();
            QVERIFY2(d.run([&] {
                movemapfrm window(*state, main.get());
                window.exec();
            }),
                     qPrintable(d.failure()));
        }
    }
};

QTEST_MAIN(MovingFlow)
#include "moving_flow_test.moc"

// The population-map study walked from the main window, as a user would, headless.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/modulestate.h"
#include "app/studies.h"
#include "modaldriver.h"
#include "popmap/mapfile.h"
#include "popmap/reports.h"
#include "popmap/search.h"
#include "shell/grid.h"
#include "shell/mainfrm.h"
#include "studywindows.h"
#include "walks.h"

using namespace davrenta;
using davrenta::testing::GridOf;
using davrenta::testing::LoadFile;
using davrenta::testing::ModalDriver;
using davrenta::testing::PrintCapture;
using davrenta::testing::Setup;
using davrenta::testing::ToFirstResults;

namespace {

QString Examples() {
    return QStringLiteral(DAVRENTA_EXAMPLES_DIR);
}

// From the review window through the whole result sequence to the second results window.
void SolveAndWalk(ModalDriver& d) {
    d.expectWindow("flocgridfrm")
        .click("Okbut")
        .expectWindow("flareafrm")
        .expectCaption("INPUT MAP - POPULATION AREAS ONLY - NO FACILITIES MARKED")
        .click("okbut")
        .expectWindow("flresultfrm")
        .click("okbut")
        .expectWindow("flareafrm")
        .expectCaption("INPUT MAP WITH EXISTING FACILITIES MARKED BY NUMBER")
        .click("okbut")
        .expectWindow("flpopfrm")
        .click("okbut")
        .expectWindow("flareafrm")
        .expectCaption("SERVICE AREAS FOR EACH EXISTING FACILITY")
        .click("okbut")
        .expectWindow("flservfrm")
        .click("okbut")
        .expectWindow("flareafrm")
        .expectCaption("SERVICE AREAS FOR EACH EXISTING FACILITY PLUS NEW FACILITY")
        .click("okbut")
        .expectWindow("flservfrm");
}

} // namespace

class PopMapFlow : public QObject {
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

    void entriesAreEnabled() {
        QVERIFY(main->flcmd->isEnabled());
        QVERIFY(main->helpmnu[1]->isEnabled());
    }

    void keyboardProblemSolvedToTheEnd() {
        ModalDriver d(main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        d.expectWindow("sourcefrm")
            .click("Keybut")
            .expectWindow("flinputfrm")
            .setText("inputsymtxt(0)", "A")
            .setText("inputpoptxt(0)", "100")
            .setText("inputsymtxt(1)", "B")
            .setText("inputpoptxt(1)", "50 people")
            .click("okbut")
            .expectWindow("flinput2frm")
            .click("okbut")
            .expectWindow("flinput4frm")
            .expectText("linelbl", " 1")
            .setText("inputtxt", "AAB")
            .click("okbut")
            .expectWindow("flocgridfrm")
            .check("review rows", [](QWidget* w, QString* why) {
                Grid* g = GridOf(w, "areagrd");
                *why = g->textMatrix(2, 2);
                return g->rows() == 3 && g->textMatrix(2, 1) == "B" && g->textMatrix(2, 2) == "50";
            });
        SolveAndWalk(d);
        d.expectText("floclbl", "RECTILINEAR CALCULATIONS")
            .expectText("result2lbl", "Optimal location of new POD is *.")
            .check("grid of the new POD",
                   [](QWidget* w, QString* why) {
                       Grid* g = GridOf(w, "facgrd");
                       *why = g->textMatrix(1, 0) + "," + g->textMatrix(1, 1) + "," +
                              g->textMatrix(1, 3);
                       return g->textMatrix(1, 0) == "*" && g->textMatrix(1, 1) == "2" &&
                              g->textMatrix(1, 3) == "150";
                   })
            .click("ok2but")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(state.fl.NewPodColumn, 2);
        QCOMPARE(state.fl.BestTravel, 10.0);
        QCOMPARE(state.fl.maptype, MapType::Input);
    }

    void aNewKeyboardProblemStartsWithEmptyAreaBoxes() {
        // Small town has five areas; the next problem typed in must not show their slots.
        ModalDriver first(main.get());
        Setup(first, "onefacbut", "mintravbut", "rectbut");
        LoadFile(first, "small-town.fl");
        first.expectWindow("flocgridfrm").closeAll();
        QVERIFY(walk(first));
        QVERIFY(state.fl.AreaCount > 1);

        ModalDriver d(main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        d.expectWindow("sourcefrm")
            .click("Keybut")
            .expectWindow("flinputfrm")
            .check("every area box empty",
                   [](QWidget* w, QString* why) {
                       for (QLineEdit* box : w->findChildren<QLineEdit*>())
                           if (!box->text().isEmpty()) {
                               *why = box->objectName() + " shows " + box->text();
                               return false;
                           }
                       return true;
                   })
            .closeAll();
        QVERIFY(walk(d));
    }

    void aSearchRefusedForNoPopulationReturnsToThePopulationEntry() {
        ModalDriver d(main.get());
        Setup(d, "onefacbut", "maxnumbut", "eucbut");
        d.expectWindow("sourcefrm")
            .click("Keybut")
            .expectWindow("flinputfrm")
            .setText("inputsymtxt(0)", "A")
            .setText("inputpoptxt(0)", "0")
            .click("okbut")
            .expectWindow("flinput2frm")
            .click("okbut")
            .expectWindow("flinput4frm")
            .setText("inputtxt", "AAA")
            .click("okbut")
            .expectWindow("flocgridfrm")
            .click("Okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectMessage("The total population of the areas is 0: average distances cannot be "
                           "computed. Enter the populations of the areas and search again.")
            .expectWindow("flinputfrm")
            .expectText("inputsymtxt(0)", "A")
            .setText("inputpoptxt(0)", "90")
            .click("okbut")
            .expectWindow("flinput2frm")
            .click("okbut")
            .expectWindow("flinput4frm")
            .expectText("inputtxt", "AAA")
            .click("okbut")
            .expectWindow("flocgridfrm")
            .click("Okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectWindow("flresultfrm")
            .closeAll();
        QVERIFY(walk(d));
        QVERIFY(state.fl.SearchResultFlag);
        QVERIFY(state.fl.PerformanceMeasure == Measure::MaximumServed);
        QVERIFY(state.DistanceMethod == davrenta::Metric::Euclidean);
        QCOMPARE(state.fl.TotalPopulation, 90.0);
    }

    void resultsWindowTextsOfTheFirstStage() {
        ModalDriver d(main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        LoadFile(d, "worked-example.fl");
        ToFirstResults(d)
            .expectText("result4lbl", "COORDINATES OF NEW POD (x, y) 2, 1")
            .expectText("result5lbl", "NEW AVG. DIST. TRAVELED 0.712")
            .expectText("result7lbl",
                        "TOTAL POPULATION SERVED =  150\nTOTAL MAP POINTS USED       = 3")
            .closeAll();
        QVERIFY(walk(d));
    }

    void diskProblemWithTwoNewPods() {
        ModalDriver d(main.get());
        Setup(d, "twofacbut", "maxnumbut", "eucbut");
        LoadFile(d, "small-town.fl");
        SolveAndWalk(d);
        d.expectText(
             "result2lbl",
             "Optimal location of first new POD is *.\nOptimal location of second new POD is @.")
            .check("Near Optimal is offered for one POD only",
                   [](QWidget* w, QString*) {
                       return !w->findChild<QWidget*>("opbut")->isVisible() &&
                              w->findChild<QWidget*>("Savebut")->isVisible();
                   })
            .click("ok2but")
            .expectNoWindow();
        QVERIFY(walk(d));
        ModuleState reference;
        reference.ProblemFileName = (Examples() + "/small-town.fl").toStdString();
        QVERIFY(ReadMapFile(reference).ok());
        reference.fl.NewPodCount = 2;
        reference.fl.PerformanceMeasure = Measure::MaximumServed;
        reference.DistanceMethod = davrenta::Metric::Euclidean;
        QVERIFY(PlainTwoPodSearch(reference).status == SearchStatus::Done);
        QCOMPARE(state.fl.NewPod1Line, reference.fl.NewPod1Line);
        QCOMPARE(state.fl.NewPod2Column, reference.fl.NewPod2Column);
        QCOMPARE(state.fl.BestServed, reference.fl.BestServed);
        QVERIFY(state.fl.PerformanceMeasure == Measure::MaximumServed);
        QVERIFY(state.DistanceMethod == davrenta::Metric::Euclidean);
    }

    void nearOptimalOnTheWorkedExample() {
        ModalDriver d(main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        LoadFile(d, "worked-example.fl");
        SolveAndWalk(d);
        d.click("opbut")
            .expectWindow("floptfrm")
            .setText("inputtxt", "7")
            .click("okbut")
            .expectMessage(
                "The bound 7 is outside 0 to 1. Enter an upper bound from 0 to 1 (0.1 marks the "
                "locations within 10% of the optimum).")
            .expectWindow("floptfrm")
            .setText("inputtxt", "0.4")
            .click("okbut")
            .expectWindow("flareafrm")
            .expectCaption("NEAR OPTIMAL (%) LOCATIONS  0.4")
            .check("near-optimal cells",
                   [](QWidget* w, QString* why) {
                       Grid* g = GridOf(w, "flareagrd");
                       *why = g->textMatrix(1, 1) + g->textMatrix(1, 2) + g->textMatrix(1, 3);
                       return *why == "AXB";
                   })
            .check(
                "save offered",
                [](QWidget* w, QString*) { return w->findChild<QWidget*>("Savebut")->isVisible(); })
            .click("okbut")
            .expectMessage("maptype=5")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(state.fl.NearTravelLimit, 14.0);
    }

    void saveOnTheResultsWindowThenSolveTheSavedProblem() {
        ModalDriver d(main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        LoadFile(d, "small-town.fl");
        SolveAndWalk(d);
        d.click("Savebut")
            .expectWindow("filefrm")
            .setText("Text1", dir.filePath("town-next"))
            .click("okbut")
            .expectMessage("The problem was saved as " + dir.filePath("town-next.fl") + ".")
            .expectWindow("flservfrm")
            .click("Savebut")
            .expectWindow("filefrm")
            .setText("Text1", "town-next.fl")
            .click("okbut")
            .expectWindow("questionbox")
            .click("yesbut")
            .expectMessage("The problem was saved as " + dir.filePath("town-next.fl") + ".")
            .expectWindow("flservfrm")
            .click("ok2but")
            .expectNoWindow();
        QVERIFY(walk(d));
        const QString saved = dir.filePath("town-next.fl");
        QVERIFY(QFile::exists(saved));
        const int firstLine = state.fl.NewPodLine, firstColumn = state.fl.NewPodColumn;
        QCOMPARE(state.fl.ExistingPodCount, 4); // saved twice, added once

        ModalDriver again(main.get());
        Setup(again, "onefacbut", "mintravbut", "rectbut");
        LoadFile(again, "town-next.fl", false);
        again.expectWindow("flocgridfrm")
            .check("the saved POD is an existing one", [](QWidget* w, QString* why) {
                Grid* g = GridOf(w, "facgrd");
                *why = QString::number(g->rows());
                return g->rows() == 5;
            });
        SolveAndWalk(again);
        again.click("ok2but").expectNoWindow();
        QVERIFY(walk(again));
        QCOMPARE(state.fl.ExistingPodCount, 4);
        QCOMPARE(state.fl.PodLine[4], firstLine);
        QCOMPARE(state.fl.PodColumn[4], firstColumn);
        QVERIFY(state.fl.NewPodLine != firstLine || state.fl.NewPodColumn != firstColumn);
    }

    void missingSymbolEndsTheSequence() {
        QFile f(dir.filePath("missing.fl"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("2,0,2\r\n\"A\",5\r\n\"Q\",3\r\n2,\"AA\"\r\n");
        f.close();
        ModalDriver d(main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        LoadFile(d, "missing.fl", false);
        d.expectWindow("flocgridfrm")
            .click("Okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectMessage("Population symbol = Q missing from map")
            .expectNoWindow();
        QVERIFY(walk(d));
        QVERIFY(!state.fl.SearchResultFlag);
    }

    void unreadableFileGoesOnAsIfNoneWasChosen() {
        QFile f(dir.filePath("broken.fl"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1,0,2\r\n\"A\",many\r\n");
        f.close();
        ModalDriver d(main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        LoadFile(d, "broken.fl", false);
        d.expectMessage(
             QStringLiteral("The file %1 cannot be read: line 2, area record 1: the "
                            "population of area 1 \"many\" is not a number. The current problem "
                            "is unchanged.")
                 .arg(dir.filePath("broken.fl")))
            .expectWindow("filefrm")
            .expectText("Text1", "broken.fl")
            .click("cancelbut")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(state.fl.AreaCount, 0);
    }

    void editKeepsTheTypedLines() {
        ModalDriver d(main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        d.expectWindow("sourcefrm")
            .click("Keybut")
            .expectWindow("flinputfrm")
            .setText("inputsymtxt(0)", "A")
            .setText("inputpoptxt(0)", "10")
            .click("okbut")
            .expectWindow("flinput2frm")
            .setText("inputxtxt(0)", "70")
            .setText("inputytxt(0)", "1")
            .click("okbut")
            .expectMessage(
                "Facility 1 is at x 70, y 1, outside the map. Enter x (column) from 1 to 60 and "
                "y (line) from 1 to 50.")
            .expectWindow("flinput2frm")
            .setText("inputxtxt(0)", "5")
            .click("okbut")
            .expectWindow("flinput4frm")
            .setText("inputtxt", "AAA")
            .click("rownextbut")
            .expectText("linelbl", " 2")
            .setText("inputtxt", " AA")
            .click("rownextbut")
            .click("rowprevbut")
            .expectText("inputtxt", " AA")
            .click("Command1")
            .expectMessage(" AA")
            .click("okbut")
            .expectWindow("flocgridfrm")
            .click("editbut")
            .expectWindow("flinputfrm")
            .expectText("inputsymtxt(0)", "A")
            .expectText("inputpoptxt(0)", "10")
            .click("okbut")
            .expectWindow("flinput2frm")
            .expectText("inputxtxt(0)", "5")
            .click("okbut")
            .expectWindow("flinput4frm")
            .expectText("inputtxt", "AAA  ")
            .click("rownextbut")
            .expectText("inputtxt", " AA")
            .click("okbut")
            .expectWindow("flocgridfrm")
            .closeAll();
        QVERIFY(walk(d));
        QCOMPARE(QString::fromStdString(state.fl.MapLine[1]),
                 QStringLiteral("AAA  ")); // padded to the POD
        QCOMPARE(state.fl.MapEndLine, 3);
    }

    void editAfterASearchKeepsOnlyTheExistingPods() {
        // The search leaves its last candidate (column 3) in slot 2; Edit and Ok must not make
        // it an existing POD.
        ModalDriver d(main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        d.expectWindow("sourcefrm")
            .click("Keybut")
            .expectWindow("flinputfrm")
            .setText("inputsymtxt(0)", "A")
            .setText("inputpoptxt(0)", "10")
            .click("okbut")
            .expectWindow("flinput2frm")
            .setText("inputxtxt(0)", "1")
            .setText("inputytxt(0)", "1")
            .click("okbut")
            .expectWindow("flinput4frm")
            .setText("inputtxt", "AAA")
            .click("okbut")
            .expectWindow("flocgridfrm")
            .click("Okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectWindow("flresultfrm")
            .click("okbut")
            .expectWindow("flareafrm")
            .expectCaption("INPUT MAP WITH EXISTING FACILITIES MARKED BY NUMBER")
            .click("editbut")
            .expectWindow("flinputfrm")
            .click("okbut")
            .expectWindow("flinput2frm")
            .expectText("inputxtxt(0)", "1")
            .expectText("inputxtxt(1)", "")
            .expectText("inputytxt(1)", "")
            .click("okbut")
            .expectWindow("flinput4frm")
            .click("okbut")
            .expectWindow("flocgridfrm")
            .closeAll();
        QVERIFY(walk(d));
        QCOMPARE(state.fl.ExistingPodCount, 1);
        QCOMPARE(state.fl.PodColumn[2], 0);
    }

    void everyPrintMatchesTheCoreReport() {
        PrintCapture prints;
        std::vector<std::vector<std::string>> expected;
        auto expect = [&](std::function<Report()> make) {
            return [&expected, make](QWidget*) { expected.push_back(RenderText(make())); };
        };
        ModalDriver d(main.get());
        d.expectWindow("fldescfrm")
            .click("contbut")
            .expectWindow("flgridfrm")
            .click("prt1but")
            .step("grid", expect([] { return GridOverlayReport(); }))
            .click("Contbut")
            .expectWindow("flfrm")
            .click("onefacbut")
            .expectWindow("zedu1frm")
            .click("Minmaxbut")
            .click("sqeucbut");
        LoadFile(d, "mid-county.fl");
        d.expectWindow("flocgridfrm")
            .click("Okbut")
            .expectWindow("flareafrm")
            .click("prtbut")
            .step("input map", expect([this] { return MapReport(state.fl); }))
            .click("okbut")
            .expectWindow("flresultfrm")
            .click("okbut")
            .expectWindow("flareafrm")
            .click("prtbut")
            .step("numbered", expect([this] { return MapReport(state.fl); }))
            .click("okbut")
            .expectWindow("flpopfrm")
            .click("prtbut")
            .step("distribution", expect([this] { return DistributionReport(state.fl); }))
            .click("okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectWindow("flservfrm")
            .click("prtbut")
            .step("first report", expect([this] { return ResultsReport1(state.fl); }))
            .click("okbut")
            .expectWindow("flareafrm")
            .click("prtbut")
            .step("service map", expect([this] { return MapReport(state.fl); }))
            .click("okbut")
            .expectWindow("flservfrm")
            .click("Prt2but")
            .step("second report", expect([this] { return ResultsReport2(state.fl); }))
            .click("ok2but")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(prints.reports.size(), expected.size());
        QCOMPARE(expected.size(), std::size_t{7});
        for (std::size_t i = 0; i < expected.size(); ++i)
            QVERIFY2(RenderText(prints.reports[i]) == expected[i], qPrintable(QString::number(i)));
        QCOMPARE(prints.reports[1].fontName, std::string("courier"));
        QCOMPARE(prints.reports[4].fontName, std::string("times new roman"));
        QVERIFY(RenderText(prints.reports[1]) !=
                RenderText(prints.reports[5])); // input vs service map
    }

    void cancelReturnsToTheInputMapReadyToRunAgain() {
        // Two new PODs without existing ones on a full map: the longest search there is, long
        // enough to be cancelled.
        QFile f(dir.filePath("long.fl"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1,0,51\r\n\"A\",1000\r\n");
        for (int i = 0; i < 50; ++i)
            f.write("60,\"" + QByteArray(60, 'A') + "\"\r\n");
        f.close();
        ModalDriver d(main.get());
        Setup(d, "twofacbut", "mintravbut", "rectbut");
        LoadFile(d, "long.fl", false);
        d.expectWindow("flocgridfrm")
            .click("Okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .waitUntil("progress shows",
                       [](QWidget* w) {
                           return w->findChild<QLabel*>("Label1")->text().startsWith(
                               "Calculating->");
                       })
            .click("cancelbut")
            .waitUntil("the search stopped",
                       [](QWidget* w) { return w->findChild<QPushButton*>("okbut")->isEnabled(); })
            .expectWindow("flareafrm")
            .expectCaption("INPUT MAP - POPULATION AREAS ONLY - NO FACILITIES MARKED")
            .expectText("Label1", "Search cancelled. Ok runs it again.")
            .check("the input map, ready to run again",
                   [this](QWidget* w, QString* why) {
                       Grid* grid = GridOf(w, "flareagrd");
                       *why = grid->textMatrix(1, 1) + "|" + grid->textMatrix(50, 60) + "|" +
                              QString::number(MapTypeCode(state.fl.maptype));
                       return !w->findChild<QPushButton*>("cancelbut")->isVisible() &&
                              *why == "A|A|1";
                   })
            .closeAll();
        QVERIFY(walk(d));
        QVERIFY(!state.fl.SearchResultFlag);
    }
};

QTEST_MAIN(PopMapFlow)
#include "flow_test.moc"

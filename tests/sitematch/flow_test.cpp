// The matching study walked from the main window's Help menu, as a user would, headless.
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "app/modulestate.h"
#include "app/studies.h"
#include "modaldriver.h"
#include "shell/grid.h"
#include "shell/mainfrm.h"
#include "studywindows.h"

using namespace davrenta;
using davrenta::testing::FileText;
using davrenta::testing::ModalDriver;
using davrenta::testing::PrintCapture;
using davrenta::testing::Shown;

namespace {

// Escape as a user presses it: to the box that has the focus, which leaves it to the window.
void PressEscape(QWidget* window) {
    QWidget* focused = window->focusWidget();
    QTest::keyClick(focused ? focused : window, Qt::Key_Escape);
}

// Main window -> description -> the site-limit window.
void Enter(ModalDriver& d) {
    d.expectWindow("smdescfrm")
        .expectCaption("Site Matching")
        .expectText("Label1", "This function finds the optimal site(s) for one or more "
                              "facilities from a collection of available sites. ")
        .click("Ok")
        .expectWindow("smfrm")
        .expectCaption("Facilities / Sites Matching")
        .expectText("Label1", "FACILITIES / SITES MATCHING");
}

// The site-limit button, then the keyboard as the input source.
void FromKeyboard(ModalDriver& d, const char* limit) {
    d.click(limit).expectWindow("sourcefrm").click("Keybut").expectWindow("sminputfrm");
}

// The site-limit button, then a problem file from the chooser.
void FromDisk(ModalDriver& d, const char* limit, const QString& file) {
    d.click(limit)
        .expectWindow("sourcefrm")
        .click("diskbut")
        .expectWindow("filefrm")
        .setText("Text1", file)
        .click("okbut");
}

void Sizes(ModalDriver& d, const char* facilities, const char* sites) {
    d.setText("facinputtxt", facilities).setText("sitesinputtxt", sites).click("okbut");
}

void TypeRow(ModalDriver& d, std::initializer_list<const char*> times, const char* demand) {
    int j = 0;
    for (const char* t : times)
        d.setText(QStringLiteral("timetxt(%1)").arg(j++), t);
    d.setText("demandtxt", demand).click("Ok");
}

} // namespace

class SiteMatchFlow : public QObject {
    Q_OBJECT

  private:
    davrenta::testing::StudyWindows study{[](mainfrm& m) { m.helpmnu_Click(2); }};
    ModuleState& state = study.state;
    std::unique_ptr<mainfrm>& main = study.main;
    QTemporaryDir& dir = study.dir;

    bool walk(ModalDriver& d) { return study.walk(d); }

  private slots:
    void init() { study.open(); }
    void cleanup() { study.close(); }

    void helpEntryIsEnabled() { QVERIFY(main->helpmnu[2]->isEnabled()); }

    void keyboardProblemCorrectedExtendedReducedSolvedPrintedAndSaved() {
        PrintCapture prints;
        ModalDriver d(main.get());
        Enter(d);
        FromKeyboard(d, "twocmd");
        d.expectCaption("Input");
        Sizes(d, "25", "3");
        d.expectMessage("The number of facilities \"25\" is not a whole number from 1 to 20. "
                        "Enter the number of facilities again.")
            .expectWindow("sminputfrm")
            .setText("facinputtxt", "2")
            .click("okbut")
            .expectWindow("sminputdatafrm")
            .expectCaption("Input Data Form")
            .expectText("faclbl", "Facility  1")
            .check("three time boxes under ten site numbers", [](QWidget* w, QString* why) {
                *why = "boxes shown wrongly";
                return Shown(w, "timetxt(0)") && Shown(w, "timetxt(2)") &&
                       !Shown(w, "timetxt(3)") && !Shown(w, "timetxt(9)") && Shown(w, "timelbl(9)");
            });
        TypeRow(d, {"4", "7", "2"}, "10");
        d.expectText("faclbl", "Facility  2").expectText("timetxt(0)", "");
        TypeRow(d, {"5", "1", "6"}, "3");
        d.expectWindow("smgridfrm")
            .expectCaption("Grid")
            .expectText("gridinputtxt(2)", "2")
            .expectText("gridinputtxt(3)", "")
            .expectText("gridinputtxt(10)", "5")
            .expectText("griddemandtxt(1)", "3")
            .expectText("Label5",
                        "In this window, you can correct, add, or remove any data.\n\nTo correct "
                        "data, enter the correct data in the corresponding text box.\n\nTo add a "
                        "facility, press the Add Facility button.\n\nTo remove a facility, press "
                        "the Remove Facility button.")
            // A correction, kept through "Add Facility".
            .setText("gridinputtxt(11)", "0.5")
            .click("addbut")
            .expectWindow("sminputdatafrm")
            .expectText("faclbl", "Facility  3");
        TypeRow(d, {"9", "9", "1"}, "2");
        d.expectWindow("smgridfrm")
            .expectText("gridinputtxt(11)", "0.5")
            .expectText("gridinputtxt(20)", "9")
            .expectText("griddemandtxt(2)", "2")
            .click("Prtbut")
            .click("rembut")
            .expectWindow("smremvfrm")
            .expectCaption("Remove Faciltiy")
            .setText("remtxt", "4")
            .click("rembut")
            .expectMessage("The facility number \"4\" is not a whole number from 1 to 3. Enter "
                           "the number of the facility to remove, as the table shows it.")
            .expectWindow("smremvfrm")
            .setText("remtxt", "1")
            .click("rembut")
            .expectWindow("smgridfrm")
            .expectText("gridinputtxt(0)", "5")
            .expectText("gridinputtxt(1)", "0.5")
            .expectText("gridinputtxt(12)", "1")
            .expectText("griddemandtxt(1)", "2")
            .expectText("griddemandtxt(2)", "")
            // Escape, pressed in the number box, leaves the remove window for the table, as
            // Cancel does, not the study; so does the title bar's close.
            .click("rembut")
            .expectWindow("smremvfrm")
            .setText("remtxt", "1")
            .step("Escape", PressEscape)
            .expectWindow("smgridfrm")
            .expectText("griddemandtxt(1)", "2")
            .expectText("griddemandtxt(2)", "")
            .click("rembut")
            .expectWindow("smremvfrm")
            .step("close", [](QWidget* window) { window->close(); })
            .expectWindow("smgridfrm")
            .expectText("griddemandtxt(1)", "2")
            // So does the title bar's close on a row begun by "Add Facility": it is dropped.
            .click("addbut")
            .expectWindow("sminputdatafrm")
            .expectText("faclbl", "Facility  3")
            .step("close", [](QWidget* window) { window->close(); })
            .expectWindow("smgridfrm")
            .expectText("griddemandtxt(2)", "")
            .click("addbut")
            .expectWindow("sminputdatafrm")
            .expectText("faclbl", "Facility  3")
            .click("backbut")
            .expectWindow("smgridfrm")
            .click("okbut")
            .expectWindow("smresultsfrm")
            .expectCaption("results")
            .expectText("faclbl(0)", " 1")
            .expectText("sitelbl(0)", " 2")
            .expectText("costlbl(0)", " 1.5")
            .expectText("sitelbl(1)", " 3")
            .expectText("costlbl(1)", " 2")
            .expectText("faclbl(2)", "")
            .expectText("Label2", "Using a maximum of  2 sites.\n\nResults may use only one or "
                                  "both sites.\n\nUtilize sites  2,  3\n\nThe optimal total cost "
                                  "would be: \n\n 3.5")
            .check("costs by number of sites",
                   [](QWidget* w, QString* why) {
                       Grid* g = w->findChild<Grid*>("costgrd");
                       *why = g->textMatrix(1, 2) + "|" + g->textMatrix(2, 3) + "|" +
                              g->textMatrix(3, 3);
                       return g->rows() == 4 && g->textMatrix(0, 3) == "Saving" &&
                              g->textMatrix(1, 1) == "2" && g->textMatrix(1, 2) == "19.5" &&
                              g->textMatrix(2, 1) == "2, 3" && g->textMatrix(2, 3) == "16" &&
                              g->textMatrix(3, 3) == "0";
                   })
            .click("prtbut")
            .click("avebut")
            .expectWindow("filefrm")
            .check("Save hides the three buttons while the chooser is open",
                   [](QWidget* w, QString* why) {
                       QWidget* results = w->parentWidget();
                       *why = results ? results->objectName() : QStringLiteral("no owner");
                       return results && results->objectName() == "smresultsfrm" &&
                              !Shown(results, "avebut") && !Shown(results, "prtbut") &&
                              !Shown(results, "Okbut");
                   })
            .setText("Text1", "trip")
            .click("okbut")
            .expectMessage("The problem was saved as " + dir.filePath("trip.sm") + ".")
            // Two sites: the limits stay offered for another run.
            .expectWindow("smfrm")
            .click("retcmd")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(FileText(dir.filePath("trip.sm")),
                 QStringLiteral("2,3\r\n5\r\n0.5\r\n6\r\n3\r\n9\r\n9\r\n1\r\n2\r\n"));
        QCOMPARE(state.ModuleFlag, Study::SiteMatch);

        QCOMPARE(prints.reports.size(), std::size_t{2});
        const std::vector<std::string> data = RenderText(prints.reports[0]);
        QCOMPARE(prints.reports[0].fontName, std::string("fixedsys"));
        QCOMPARE(data.size(), std::size_t{6});
        // The correction typed before "Add Facility" was stored by it.
        QCOMPARE(QString::fromStdString(data[4]),
                 QStringLiteral(" 2        5        0.5        6") + QString(28, ' ') + " 3 ");
        QCOMPARE(QString::fromStdString(data[5]),
                 QStringLiteral(" 3        9        9        1") + QString(30, ' ') + " 2 ");
        const std::vector<std::string> results = RenderText(prints.reports[1]);
        QCOMPARE(results.size(), std::size_t{24});
        QCOMPARE(QString::fromStdString(results[7]), QStringLiteral("Utilize sites  2,  3"));
        QCOMPARE(QString::fromStdString(results[15]), QStringLiteral(" 1        2         1.5"));
        QCOMPARE(QString::fromStdString(results[16]), QStringLiteral(" 2        3         2"));
    }

    void savedProblemFromDiskUnderOneSiteEndsOnTheMainWindow() {
        QFile file(dir.filePath("trip.sm"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("2,3\r\n5\r\n0.5\r\n6\r\n3\r\n9\r\n9\r\n1\r\n2\r\n");
        file.close();
        ModalDriver d(main.get());
        Enter(d);
        FromDisk(d, "onecmd", "trip.sm");
        d.expectWindow("smgridfrm")
            .expectText("gridinputtxt(1)", "0.5")
            .expectText("griddemandtxt(1)", "2")
            .click("okbut")
            .expectWindow("smresultsfrm")
            .expectText("Label2", "Using a maximum of  1 site.\n\nUtilize site  2\n\nThe optimal "
                                  "total cost would be: \n\n 19.5")
            .expectText("sitelbl(1)", " 2")
            .expectText("costlbl(1)", " 18")
            .click("Okbut")
            .expectWindow("mainfrm");
        QVERIFY(walk(d));
        QCOMPARE(state.sm.OptimalTotalCost, 19.5);
    }

    void theTableKeepsEveryDigitOfALoadedProblem() {
        // 0.1 + 0.2 and 1/3 need 17 digits: shown in 15, Ok would have rounded them.
        QFile file(dir.filePath("digits.sm"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1,2\r\n0.30000000000000004\r\n0.33333333333333331\r\n3\r\n");
        file.close();
        ModalDriver d(main.get());
        Enter(d);
        FromDisk(d, "onecmd", "digits.sm");
        d.expectWindow("smgridfrm")
            .click("okbut")
            .expectWindow("smresultsfrm")
            .click("Okbut")
            .expectWindow("mainfrm");
        QVERIFY(walk(d));
        // Exactly (QCOMPARE would forgive the rounding).
        QVERIFY(state.sm.SiteTime(1, 1) == 0.1 + 0.2);
        QVERIFY(state.sm.SiteTime(1, 2) == 1.0 / 3);
    }

    void costsBeyondTheLargestNumberAreToldOnTheTable() {
        // One site costs 0.85e308 either way, two sites -1.7e308: the saving is 2.55e308.
        QFile file(dir.filePath("over.sm"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("2,2\r\n-0.85e308\r\n1.7e308\r\n1\r\n1.7e308\r\n-0.85e308\r\n1\r\n");
        file.close();
        ModalDriver d(main.get());
        Enter(d);
        FromDisk(d, "onecmd", "over.sm");
        d.expectWindow("smgridfrm")
            .click("okbut")
            .expectMessage("The costs are too large to compute with: the optimal total cost "
                           "under two sites or its saving goes beyond the largest number. Use "
                           "smaller times or numbers of demands.")
            .expectWindow("smgridfrm")
            .setText("gridinputtxt(0)", "2")
            .setText("gridinputtxt(1)", "3")
            .setText("gridinputtxt(10)", "5")
            .setText("gridinputtxt(11)", "1")
            .click("okbut")
            .expectWindow("smresultsfrm")
            .expectText("sitelbl(0)", " 2")
            .expectText("costlbl(0)", " 3")
            .expectText("costlbl(1)", " 1")
            .click("Okbut")
            .expectWindow("mainfrm");
        QVERIFY(walk(d));
    }

    void refusedFileAndTooFewSitesKeepTheLimitsOnScreen() {
        QFile file(dir.filePath("short.sm"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("2,3\r\n5\r\n");
        file.close();
        state.sm.MatchFacilityCount = 1;
        state.sm.SiteCount = 1;
        state.sm.SiteTime(1, 1) = 42;
        const std::string path = dir.filePath("short.sm").toStdString();
        ModalDriver d(main.get());
        Enter(d);
        FromDisk(d, "onecmd", "short.sm");
        d
            .expectMessage(QString::fromStdString(
                "The file " + path +
                " cannot be read: line 3, time 1,2: the file ends before the time to site 2 of "
                "facility 1. The current problem is unchanged."))
            .expectWindow("filefrm")
            .expectText("Text1", "short.sm")
            .click("cancelbut")
            .expectWindow("smfrm");
        FromKeyboard(d, "threecmd");
        Sizes(d, "4", "2");
        d.expectMessage("The problem has 2 sites, so it cannot use a maximum of three sites. "
                        "Choose a smaller number of sites.")
            .expectWindow("smfrm")
            .click("retcmd")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(state.sm.SiteTime(1, 1), 42.0);
        QCOMPARE(state.sm.SiteCount, 1);
    }

    void backOnAnAddedRowReturnsToTheTable() {
        ModalDriver d(main.get());
        Enter(d);
        FromKeyboard(d, "twocmd");
        Sizes(d, "1", "2");
        d.expectWindow("sminputdatafrm");
        TypeRow(d, {"3", "4"}, "1");
        d.expectWindow("smgridfrm")
            .click("addbut")
            .expectWindow("sminputdatafrm")
            .expectText("faclbl", "Facility  2")
            .click("backbut")
            .expectWindow("smgridfrm")
            .expectText("gridinputtxt(1)", "4")
            .expectText("griddemandtxt(1)", "")
            .closeAll();
        QVERIFY(walk(d));
        QCOMPARE(state.sm.MatchFacilityCount, 1);
    }
};

QTEST_MAIN(SiteMatchFlow)
#include "flow_test.moc"

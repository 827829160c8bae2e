// The single-facility study walked from the main window, as a user would, headless.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include "app/modulestate.h"
#include "app/studies.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"
#include "studywindows.h"

using namespace davrenta;
using davrenta::testing::FileBytes;
using davrenta::testing::ModalDriver;
using davrenta::testing::Shown;

namespace {

// Types into a box key by key, as a user at the keyboard does.
void Type(ModalDriver& d, const char* box, const QString& text) {
    d.step(QStringLiteral("type into ") + QLatin1String(box), [box, text](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>(QLatin1String(box));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    });
}

// Enter on the box that has the focus presses the window's default button.
void PressEnter(ModalDriver& d, const char* box) {
    d.step(QStringLiteral("Enter"), [box](QWidget* w) {
        QTest::keyClick(w->findChild<QLineEdit*>(QLatin1String(box)), Qt::Key_Return);
    });
}

// Rows 1..n shown, row n+1 hidden.
void ExpectRows(ModalDriver& d, int n) {
    d.check(QStringLiteral("%1 rows shown").arg(n), [n](QWidget* w, QString* why) {
        *why = QStringLiteral("rows shown differ from %1").arg(n);
        const bool lastShown =
            n == 0 || Shown(w, qPrintable(QStringLiteral("gridinputtxt(%1)").arg(3 * n - 1)));
        const bool nextHidden =
            n == 20 || !Shown(w, qPrintable(QStringLiteral("Label1(%1)").arg(n)));
        return lastShown && nextHidden;
    });
}

} // namespace

class SflocFlow : public QObject {
    Q_OBJECT

  private:
    davrenta::testing::StudyWindows study{[](mainfrm& m) { m.sflcmd_Click(); }};
    ModuleState& state = study.state;
    std::unique_ptr<mainfrm>& main = study.main;
    QTemporaryDir& dir = study.dir;

    // The study from its main-window button, or from its Help entry.
    bool walk(ModalDriver& d, bool fromMenu = false) {
        if (fromMenu)
            return study.walk(d, [this] { main->helpmenu->trigger(); });
        return study.walk(d);
    }

    void loadFile(ModalDriver& d, const QString& name, bool examples) {
        d.expectWindow("sfdescfrm")
            .click("contbut")
            .expectWindow("sourcefrm")
            .click("diskbut")
            .expectWindow("filefrm");
        if (examples)
            d.click("examplesbut");
        d.setText("Text1", name).click("okbut");
    }

  private slots:
    void init() { study.open(); }
    void cleanup() { study.close(); }

    void entriesAreEnabled() {
        QVERIFY(main->sflcmd->isEnabled());
        QVERIFY(main->helpmenu->isEnabled());
    }

    void keyboardProblemSolvedSavedAndSolvedAgainFromDisk() {
        ModalDriver d(main.get());
        d.expectWindow("sfdescfrm")
            .expectCaption("Single Facility Location By Demand")
            .click("contbut")
            .expectWindow("sourcefrm")
            .click("Keybut")
            .expectWindow("sfinputfrm")
            .expectCaption("Single Faciity Location Input");
        Type(d, "facinputtxt", "25");
        PressEnter(d, "facinputtxt");
        d.expectMessage("The number of existing facilities \"25\" is not a whole number from 1 to "
                        "20. Enter how many existing facilities there are (20 or less).")
            .expectWindow("sfinputfrm");
        Type(d, "facinputtxt", "3");
        PressEnter(d, "facinputtxt");
        d.expectWindow("sfinputdatafrm").expectCaption("Input Data Form");
        const char* facilities[3][3] = {{"2", "1", "1"}, {"5", "3", "1"}, {"-1.5", "2", "2,5"}};
        const char* labels[3] = {"Facility  1 of  3", "Facility  2 of  3", "Facility  3 of  3"};
        for (int i = 0; i < 3; ++i) {
            d.expectText("faclbl", labels[i]);
            Type(d, "xcoordtxt", facilities[i][0]);
            Type(d, "ycoordtxt", facilities[i][1]);
            Type(d, "weighttxt", facilities[i][2]);
            PressEnter(d, "weighttxt");
        }
        d.expectWindow("sfgridfrm").expectCaption("Grid");
        ExpectRows(d, 3);
        d.expectText("gridinputtxt(6)", "-1.5")
            .expectText("gridinputtxt(8)", "2")
            .expectText("Label5", "In this window, you can correct, add, or remove any data.\n\n"
                                  "To correct data, enter the correct data in the corresponding "
                                  "text box.\n\nTo add an existing facility, press the Add "
                                  "Facility button.\n\nTo remove an existing facility, press "
                                  "the Remove Facility button.")
            .check("edit state",
                   [](QWidget* w, QString* why) {
                       *why = "edit state controls";
                       return Shown(w, "okbut") && Shown(w, "addbut") && !Shown(w, "Savebut") &&
                              !Shown(w, "backbut") && !Shown(w, "olrectxlbl") &&
                              !Shown(w, "locationpic");
                   })
            .click("okbut")
            .expectText("olrectxlbl", "-1.500***2.000")
            .expectText("olrectylbl", "2.000")
            .expectText("oleuclxlbl", "-0.113")
            .expectText("oleuclylbl", "1.875")
            .expectText("olsqeuxlbl", "1.000")
            .expectText("olsqeuylbl", "2.000")
            .expectText("olrectobjlbl", "12.000")
            .check("result state and picture",
                   [](QWidget* w, QString* why) {
                       *why = w->findChild<QWidget*>("locationpic")->accessibleDescription();
                       return !Shown(w, "okbut") && !Shown(w, "addbut") && Shown(w, "Savebut") &&
                              Shown(w, "backbut") && Shown(w, "locationpic") &&
                              why->startsWith("Facility 1 at (2, 1), weight 1\n") &&
                              why->contains(
                                  "Rect. anywhere from (-1.500, 2.000) to (2.000, 2.000)");
                   })
            .click("Savebut")
            .expectWindow("filefrm")
            .setText("Text1", "three")
            .click("okbut")
            .expectMessage("The problem was saved as " + dir.filePath("three.sf") + ".")
            .expectWindow("sfgridfrm")
            .click("donebut")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(FileBytes(dir.filePath("three.sf")),
                 QByteArray("3\r\n2,1,1\r\n5,3,1\r\n-1.5,2,2\r\n"));

        ModalDriver again(main.get());
        loadFile(again, "three.sf", false);
        again.expectWindow("sfgridfrm");
        ExpectRows(again, 3);
        again.expectText("gridinputtxt(3)", "5")
            .click("okbut")
            .expectText("olrectxlbl", "-1.500***2.000")
            .expectText("oleuclxlbl", "-0.113")
            .expectText("olsqeuylbl", "2.000")
            .click("donebut")
            .expectNoWindow();
        QVERIFY(walk(again, true));
    }

    void correctionsAddAndRemove() {
        ModalDriver d(main.get());
        loadFile(d, "depot-range.sf", true);
        d.expectWindow("sfgridfrm")
            .expectText("gridinputtxt(2)", "30")
            .setText("gridinputtxt(2)", "60")
            .click("okbut")
            .expectText("olrectxlbl", "10.000")
            .check("boxes are read-only once solved",
                   [](QWidget* w, QString*) {
                       return w->findChild<QLineEdit*>("gridinputtxt(2)")->isReadOnly();
                   })
            .click("backbut")
            .expectWindow("sfgridfrm")
            .expectText("gridinputtxt(2)", "60")
            .check("edit state again",
                   [](QWidget* w, QString*) {
                       return Shown(w, "okbut") && !Shown(w, "olrectxlbl") &&
                              !w->findChild<QLineEdit*>("gridinputtxt(2)")->isReadOnly();
                   })
            .setText("gridinputtxt(0)", "99")
            .click("addbut")
            .expectWindow("sfinputdatafrm")
            .expectText("faclbl", "Facility  5 of  5")
            .setText("xcoordtxt", "30")
            .setText("ycoordtxt", "30")
            .setText("weighttxt", "5")
            .click("okbut")
            .expectWindow("sfgridfrm")
            .expectText("gridinputtxt(0)", "0")
            .expectText("gridinputtxt(12)", "30");
        ExpectRows(d, 5);
        d.click("rembut")
            .expectWindow("sfremvfrm")
            .expectCaption("Remove Faciltiy")
            .setText("remtxt", "6")
            .click("rembut")
            .expectMessage("The facility number \"6\" is not a whole number from 1 to 5. Enter the "
                           "number of the facility to remove, as the table shows it.")
            .expectWindow("sfremvfrm")
            .setText("remtxt", "2")
            .click("rembut")
            .expectWindow("sfgridfrm")
            .expectText("gridinputtxt(3)", "14")
            .expectText("gridinputtxt(9)", "30");
        ExpectRows(d, 4);
        d.click("rembut").expectWindow("sfremvfrm").click("canbut").expectWindow("sfgridfrm");
        ExpectRows(d, 4);
        d.click("donebut").expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(state.sf.ExistingFacilityCount, 4);
        QCOMPARE(state.sf.FacilityWeight[1], 60.0);
        QCOMPARE(state.sf.FacilityX[2], 14.0);
    }

    void addingATwentyFirstFacilityIsRefused() {
        QFile f(dir.filePath("full.sf"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("20\r\n");
        for (int i = 1; i <= 20; ++i)
            f.write(QByteArray::number(i) + ",1,1\r\n");
        f.close();
        ModalDriver d(main.get());
        loadFile(d, "full.sf", false);
        d.expectWindow("sfgridfrm");
        ExpectRows(d, 20);
        d.click("addbut")
            .expectMessage("The table already holds 20 existing facilities, as many as a problem "
                           "can hold. Remove one before adding another.")
            .expectWindow("sfgridfrm")
            .click("donebut")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(state.sf.ExistingFacilityCount, 20);
    }

    void weightsSummingToZeroStayInTheEditState() {
        ModalDriver d(main.get());
        d.expectWindow("sfdescfrm")
            .click("contbut")
            .expectWindow("sourcefrm")
            .click("Keybut")
            .expectWindow("sfinputfrm")
            .setText("facinputtxt", "1")
            .click("okbut")
            .expectWindow("sfinputdatafrm")
            .setText("xcoordtxt", "4")
            .setText("weighttxt", "0")
            .click("okbut")
            .expectWindow("sfgridfrm")
            .click("okbut")
            .expectMessage("The weights of the existing facilities sum to zero, so no location can "
                           "be found. Give the facilities their demands as weights and solve "
                           "again.")
            .check("still editing",
                   [](QWidget* w, QString*) {
                       return Shown(w, "okbut") && Shown(w, "addbut") && !Shown(w, "Savebut");
                   })
            .setText("gridinputtxt(2)", "3")
            .click("okbut")
            .expectText("olrectxlbl", "4.000")
            .click("donebut")
            .expectNoWindow();
        QVERIFY(walk(d));
    }

    // Twenty facilities on an ordinary screen: the table takes the height the screen offers
    // before it scrolls, and the "Weight" heading shows whole above its column.
    void theTableUsesTheRoomItGets() {
        ModalDriver d(main.get());
        loadFile(d, QStringLiteral("warehouse-stores.sf"), true);
        d.expectWindow("sfgridfrm");
        ExpectRows(d, 20);
        d.check("the table scrolls only when the window has all the room", [](QWidget* w,
                                                                              QString* why) {
             // The scroll area that holds the table's headings.
             QWidget* up = w->findChild<QLabel*>("Label4");
             while (up && !qobject_cast<QScrollArea*>(up))
                 up = up->parentWidget();
             auto* scroll = qobject_cast<QScrollArea*>(up);
             if (!scroll)
                 return false;
             const int room = w->screen()->availableGeometry().height() * 9 / 10;
             const bool scrolls = scroll->verticalScrollBar()->maximum() > 0;
             *why = QStringLiteral("window %1 px of %2, table scrolls: %3")
                        .arg(w->height())
                        .arg(room)
                        .arg(scrolls);
             return w->height() <= room && (!scrolls || w->height() >= room - 2);
         }).check("the Weight heading shows whole", [](QWidget* w, QString* why) {
            auto* heading = w->findChild<QLabel*>("Label4");
            const int needed = heading->fontMetrics().horizontalAdvance(heading->text());
            *why = QStringLiteral("%1 px for %2 px of text").arg(heading->width()).arg(needed);
            return heading->text() == "Weight" && heading->width() >= needed;
        });
        d.closeAll();
        QVERIFY(walk(d));
    }

    void unreadableFileReturnsToTheChooserWithItsName() {
        state.sf.FacilityX[1] = 7;
        QFile f(dir.filePath("broken.sf"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("2\r\n1,2,3\r\n4,\xE9t\xE9,6\r\n");
        f.close();
        QVERIFY(::mkfifo(qPrintable(dir.filePath("pipe.sf")), 0600) == 0);
        ModalDriver d(main.get());
        loadFile(d, "broken.sf", false);
        d.expectMessage(
             QStringLiteral("The file %1 cannot be read: line 3, facility record 2: the "
                            "y coordinate of facility 2 \"\\xE9t\\xE9\" is not a number. "
                            "The current problem is unchanged.")
                 .arg(dir.filePath("broken.sf")))
            .expectWindow("filefrm")
            .expectText("Text1", "broken.sf")
            .setText("Text1", "pipe.sf")
            .click("okbut")
            .expectMessage(QStringLiteral("The file %1 cannot be read: it is not a regular file. "
                                          "The current problem is unchanged.")
                               .arg(dir.filePath("pipe.sf")))
            .expectWindow("filefrm")
            .expectText("Text1", "pipe.sf")
            .click("cancelbut")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(state.sf.FacilityX[1], 7.0);
        QCOMPARE(state.sf.ExistingFacilityCount, 0);
        // Nothing was read: a report is not named after either file.
        QCOMPARE(state.ProblemFileName, std::string());
    }
};

QTEST_MAIN(SflocFlow)
#include "flow_test.moc"

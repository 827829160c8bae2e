// Every window of the simulation study on a small, highly scaled screen: each one stays on the
// screen and scrolls, and no label, box, button or table cell is cut short. Twice the scale on
// the offscreen platform's 800 x 600 screen leaves 400 x 300 to lay out in.
#include <QApplication>
#include <QChartView>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QtTest>

#include "app/modulestate.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"
#include "shell/printing.h"
#include "smallscreen.h"
#include "studywindows.h"

using namespace davrenta;
using davrenta::testing::ModalDriver;
using davrenta::testing::WholeOnScreen;

namespace {

const QString kWhole = QStringLiteral("on the screen, every text whole");

// The results window opens scrolled to its results: every mean, standard deviation and
// half-width box lies inside the visible part of the page, and the histogram starts there.
bool OpensOnTheResults(QWidget* window, QString* why) {
    auto* page = window->findChild<QScrollArea*>();
    if (!page) {
        *why = QStringLiteral("no scrolling page");
        return false;
    }
    const QRect visible = page->viewport()->rect();
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        const QString name = box->objectName();
        const bool result = name.endsWith(QStringLiteral("meantxt")) ||
                            name.endsWith(QStringLiteral("stdtxt")) ||
                            name.endsWith(QStringLiteral("halftxt"));
        if (!result || !box->isVisibleTo(window))
            continue;
        const QRect at(box->mapTo(page->viewport(), QPoint(0, 0)), box->size());
        if (!visible.contains(at)) {
            *why = name + QStringLiteral(" out of view: %1,%2 %3x%4 in %5x%6")
                              .arg(at.x())
                              .arg(at.y())
                              .arg(at.width())
                              .arg(at.height())
                              .arg(visible.width())
                              .arg(visible.height());
            return false;
        }
    }
    auto* chart = window->findChild<QChartView*>(QStringLiteral("histchart"));
    if (!visible.contains(chart->mapTo(page->viewport(), QPoint(0, 0)))) {
        *why = QStringLiteral("the histogram starts out of view");
        return false;
    }
    return true;
}

bool Compared(QWidget* w) {
    return w->findChild<QPushButton*>(QStringLiteral("prntbut"))->isEnabled();
}

bool Running(QWidget* w) {
    auto* cancel = w->findChild<QPushButton*>(QStringLiteral("cancelbut"));
    return cancel && cancel->isVisible();
}

bool Stopped(QWidget* w) {
    return !Running(w);
}

// The run until precise has told its first half-width.
bool HalfWidthShown(QWidget* w) {
    return !w->findChild<QLabel*>(QStringLiteral("statuslbl"))->text().isEmpty();
}

} // namespace

class MhSimSmallScreen : public QObject {
    Q_OBJECT

  private:
    davrenta::testing::StudyWindows study{[](mainfrm& m) { m.helpmnu_Click(4); }};

    // From the description to the parameters of an option loaded from an example.
    void parameters(ModalDriver& d, const char* option, const char* example, bool checkOnTheWay) {
        d.expectWindow("mhsdescfrm");
        if (checkOnTheWay)
            d.check(kWhole, WholeOnScreen);
        d.click("okbut").expectWindow("mhsinput1frm");
        if (checkOnTheWay)
            d.check(kWhole, WholeOnScreen);
        d.click(option).expectWindow("sourcefrm");
        if (checkOnTheWay)
            d.check(kWhole, WholeOnScreen);
        d.click("diskbut").expectWindow("filefrm");
        if (checkOnTheWay)
            d.check(kWhole, WholeOnScreen);
        d.click("examplesbut").setText("Text1", example).click("okbut");
        d.expectWindow("mhsinput2frm").setText("seedtxt", "7");
    }

    // From the description to the results of an option loaded from an example.
    void results(ModalDriver& d, const char* option, const char* example, const char* window,
                 bool checkOnTheWay) {
        parameters(d, option, example, checkOnTheWay);
        d.check(kWhole, WholeOnScreen)
            .click("okbut")
            .expectWindow(window)
            .check(kWhole, WholeOnScreen)
            .check("opens on the results", OpensOnTheResults);
    }

  private slots:
    void init() { study.open(); }
    void cleanup() { study.close(); }

    void everyWindowOfOption1WithTheComparisonAndTheRunUntilPrecise() {
        ModalDriver d(study.main.get());
        results(d, "input1but", "loading-dock.mhs", "mhsresult1frm", true);
        d.click("comparebut")
            .expectWindow("mhscomparefrm")
            .check(kWhole, WholeOnScreen)
            .setText("fromtxt", "1")
            .setText("totxt", "5")
            .select("targetlst", "Average wait at most (minutes)")
            .setText("targettxt", "30")
            .click("comparebut")
            .waitUntil("compared", Compared)
            .check(kWhole, WholeOnScreen)
            .click("closebut")
            .expectWindow("mhsresult1frm")
            .click("precisebut")
            .expectWindow("mhsprecisefrm")
            .check(kWhole, WholeOnScreen)
            .setText("maxtxt", "2000")
            .click("runbut")
            .expectWindow("mhsresult1frm")
            .check(kWhole, WholeOnScreen)
            .click("chgbut")
            .expectWindow("mhsinput2frm")
            .click("backbut")
            .expectWindow("mhsinput1frm")
            .click("input5but")
            .expectNoWindow();
        QVERIFY(study.walk(d));
    }

    // The print preview the results window opens (the shell's), where the machine lets it open.
    void printPreviewOfTheResults() {
        ModalDriver d(study.main.get());
        results(d, "input1but", "loading-dock.mhs", "mhsresult1frm", false);
        d.click("prntbut");
        if (QPrinterInfo::availablePrinters().isEmpty())
            d.expectMessage(QString::fromLatin1(kNoPrinterText));
        d.expectWindow("printpreview").check(kWhole, WholeOnScreen).closeAll();
        QVERIFY(study.walk(d));
    }

    // Each window that simulates, with its progress bar, Cancel and the half-width reached so
    // far showing; and the chooser the results' Save opens.
    void theWindowsWhileTheyRunAndTheSaveChooser() {
        ModalDriver d(study.main.get());
        parameters(d, "input1but", "loading-dock.mhs", false);
        d.setText("daystxt", "100000000")
            .click("okbut")
            .waitUntil("simulating", Running)
            .check(kWhole, WholeOnScreen)
            .click("cancelbut")
            .waitUntil("stopped", Stopped)
            .setText("daystxt", "20000")
            .click("okbut")
            .expectWindow("mhsresult1frm")
            .click("savebut")
            .expectWindow("filefrm")
            .check(kWhole, WholeOnScreen)
            .click("cancelbut")
            .expectWindow("mhsresult1frm")
            .click("comparebut")
            .expectWindow("mhscomparefrm")
            .setText("fromtxt", "1")
            .setText("totxt", "98")
            .click("comparebut")
            .waitUntil("comparing", Running)
            .check(kWhole, WholeOnScreen)
            .click("cancelbut")
            .waitUntil("stopped", Stopped)
            .expectText("summarylbl", "The comparison was cancelled.")
            .check(kWhole, WholeOnScreen)
            .click("closebut")
            .expectWindow("mhsresult1frm")
            .click("precisebut")
            .expectWindow("mhsprecisefrm")
            .setText("halftxt", "0.000001")
            .setText("maxtxt", "100000000")
            .click("runbut")
            .waitUntil("the half-width so far", HalfWidthShown)
            .check(kWhole, WholeOnScreen)
            .click("cancelbut")
            .waitUntil("stopped", Stopped)
            .expectText("statuslbl", "The run was cancelled; the results are as they were.")
            .check(kWhole, WholeOnScreen)
            .click("closebut")
            .expectWindow("mhsresult1frm")
            .click("chgbut")
            .expectWindow("mhsinput2frm")
            .click("backbut")
            .expectWindow("mhsinput1frm")
            .click("input5but")
            .expectNoWindow();
        QVERIFY(study.walk(d));
    }

    void keyboardParametersAndTheResultsOfOptions2To4() {
        ModalDriver d(study.main.get());
        d.expectWindow("mhsdescfrm").click("okbut").expectWindow("mhsinput1frm");
        d.click("input3but")
            .expectWindow("sourcefrm")
            .click("Keybut")
            .expectWindow("mhsinput2frm")
            .check(kWhole, WholeOnScreen)
            .click("backbut")
            .expectWindow("mhsinput1frm")
            .click("input5but")
            .expectNoWindow();
        QVERIFY(study.walk(d));
        for (const auto& [option, example, window] :
             {std::tuple{"input2but", "clinic-desk.mhs", "mhsresult2frm"},
              std::tuple{"input3but", "tool-crib.mhs", "mhsresult3frm"}}) {
            ModalDriver r(study.main.get());
            results(r, option, example, window, false);
            r.click("comparebut")
                .expectWindow("mhscomparefrm")
                .click("comparebut")
                .waitUntil("compared", Compared)
                .check(kWhole, WholeOnScreen)
                .click("closebut")
                .expectWindow(window)
                .click("okbut")
                .expectWindow("mhsinput1frm")
                .click("input5but")
                .expectNoWindow();
            QVERIFY(study.walk(r));
        }
        ModalDriver last(study.main.get());
        results(last, "input4but", "repair-bay.mhs", "mhsresult4frm", false);
        last.click("okbut").expectNoWindow();
        QVERIFY(study.walk(last));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    MhSimSmallScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "smallscreen_test.moc"

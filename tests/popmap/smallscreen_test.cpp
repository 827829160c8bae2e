// Every window of the population-map study on a small, highly scaled screen: twice the scale on
// the offscreen platform's 800 x 600 screen leaves 400 x 300 to lay out in. Every window fits,
// and every label, box, button and table cell shows its whole text, scrolling where the room
// runs out. Each window is looked at as the walk meets it; the findings are told together.
#include <algorithm>
#include <functional>

#include <QApplication>
#include <QFile>
#include <QtTest>

#include "app/modulestate.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"
#include "smallscreen.h"
#include "studywindows.h"
#include "walks.h"

using namespace davrenta;
using davrenta::testing::LoadFile;
using davrenta::testing::ModalDriver;
using davrenta::testing::Setup;
using davrenta::testing::WholeOnScreen;

class PopMapSmallScreen : public QObject {
    Q_OBJECT

  private:
    davrenta::testing::StudyWindows study{[](mainfrm& m) { m.flcmd_Click(); }};
    QStringList faults;

    // Notes what a window fails of a check and lets the walk go on, so that one run names every
    // window that needs mending.
    void note(ModalDriver& d, const QString& what, const QString& where,
              std::function<bool(QWidget*, QString*)> holds) {
        d.check(what + QStringLiteral(": ") + where, [this, where, holds](QWidget* w, QString*) {
            QString why;
            if (!holds(w, &why))
                faults << where + QStringLiteral(": ") + why;
            return true;
        });
    }

    void look(ModalDriver& d, const QString& where) {
        note(d, QStringLiteral("on the screen, every text whole"), where, WholeOnScreen);
    }

    // A map with a legend keeps two thirds of the window, the legend scrolling beside it.
    void keepsTwoThirds(ModalDriver& d, const QString& where) {
        note(d, QStringLiteral("the map keeps two thirds"), where, [](QWidget* w, QString* why) {
            return w->findChild<QWidget*>("legendarea")->isHidden() ||
                   davrenta::testing::MapKeepsTwoThirds(w, why);
        });
    }

    // Through the map screens and the windows between them, to the second results window.
    void mapsAndResults(ModalDriver& d, const QString& problem) {
        d.expectWindow("flocgridfrm");
        look(d, problem + " review");
        d.click("Okbut").expectWindow("flareafrm");
        look(d, problem + " input map");
        d.click("okbut").expectWindow("flresultfrm");
        look(d, problem + " summary");
        d.click("okbut").expectWindow("flareafrm");
        look(d, problem + " numbered map");
        keepsTwoThirds(d, problem + " numbered map");
        d.click("okbut").expectWindow("flpopfrm");
        look(d, problem + " distribution");
        d.click("okbut").expectWindow("flareafrm");
        look(d, problem + " existing service map");
        keepsTwoThirds(d, problem + " existing service map");
        d.click("okbut").expectWindow("flservfrm");
        look(d, problem + " first results");
        d.click("okbut").expectWindow("flareafrm");
        look(d, problem + " new service map");
        keepsTwoThirds(d, problem + " new service map");
        d.click("movebut").expectWindow("movemapfrm");
        look(d, problem + " moving the PODs");
        note(d, QStringLiteral("the POD table shows rows"), problem + " moving the PODs",
             [](QWidget* w, QString* why) {
                 auto* table = w->findChild<QTableWidget*>("facgrd");
                 int whole = 0; // rows shown from top to bottom
                 for (int r = 0; r < table->rowCount(); ++r)
                     whole += table->rowViewportPosition(r) >= 0 &&
                              table->rowViewportPosition(r) + table->rowHeight(r) <=
                                  table->viewport()->height();
                 *why = QStringLiteral("the table shows %1 of %2 rows whole")
                            .arg(whole)
                            .arg(table->rowCount());
                 return whole >= std::min(3, table->rowCount());
             });
        d.click("okbut").expectWindow("flareafrm");
        d.click("okbut").expectWindow("flservfrm");
        look(d, problem + " second results");
    }

  private slots:
    void init() {
        faults.clear();
        study.open();
    }
    void cleanup() { study.close(); }

    void keyboardProblemThroughEveryMapAndNearOptimal() {
        ModalDriver d(study.main.get());
        d.expectWindow("fldescfrm");
        look(d, "description");
        d.click("contbut").expectWindow("flgridfrm");
        look(d, "grid printing");
        d.click("Contbut").expectWindow("flfrm");
        look(d, "POD count");
        d.click("onefacbut").expectWindow("zedu1frm");
        look(d, "measures");
        d.click("mintravbut");
        look(d, "distance methods");
        d.click("rectbut").expectWindow("sourcefrm");
        look(d, "source");
        d.click("Keybut").expectWindow("flinputfrm");
        look(d, "area entry");
        d.setText("inputsymtxt(0)", "A")
            .setText("inputpoptxt(0)", "100")
            .setText("inputsymtxt(1)", "B")
            .setText("inputpoptxt(1)", "50")
            .click("okbut")
            .expectWindow("flinput2frm");
        look(d, "POD entry");
        d.setText("inputxtxt(0)", "1").setText("inputytxt(0)", "2").click("okbut");
        d.expectWindow("flinput4frm");
        look(d, "map entry");
        d.setText("inputtxt", "AAB").click("rownextbut").setText("inputtxt", "ABB");
        d.click("okbut");
        mapsAndResults(d, "keyboard");
        d.click("opbut").expectWindow("floptfrm");
        look(d, "near-optimal bound");
        d.setText("inputtxt", "0.4").click("okbut").expectWindow("flareafrm");
        look(d, "near-optimal map");
        d.closeAll();
        QVERIFY(study.walk(d));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // Thirty existing PODs: the longest legends and tables the study shows.
    void thirtyPodsAndTheHowManyPodsWindow() {
        ModalDriver d(study.main.get());
        Setup(d, "onefacbut", "mintravbut", "eucbut");
        LoadFile(d, "full-region.fl");
        mapsAndResults(d, "full region");
        d.click("countbut").expectWindow("flcountfrm");
        look(d, "How Many PODs");
        d.setText("maxtxt", "1")
            .click("curvebut")
            .waitUntil(
                "the table is filled",
                [](QWidget* w) { return w->findChild<QTableWidget*>("countgrd")->rowCount() >= 1; })
            .setText("radiustxt", "40")
            .click("coverbut")
            .waitUntil("the cover is answered", [](QWidget* w) {
                return !w->findChild<QLabel*>("coverlbl")->text().isEmpty();
            });
        look(d, "How Many PODs, answered");
        d.click("okbut").expectWindow("flservfrm").closeAll();
        QVERIFY(study.walk(d));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // Several new PODs: the count boxes on the POD-count screen and the legend of each mark.
    void severalNewPods() {
        ModalDriver d(study.main.get());
        d.expectWindow("fldescfrm").click("contbut").expectWindow("flgridfrm").click("Contbut");
        d.expectWindow("flfrm").setText("podcounttxt", "3").setText("timelimittxt", "");
        look(d, "POD count, several");
        d.click("severalbut").expectWindow("zedu1frm").click("mintravbut").click("rectbut");
        LoadFile(d, "small-town.fl");
        mapsAndResults(d, "several");
        d.closeAll();
        QVERIFY(study.walk(d));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    PopMapSmallScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "smallscreen_test.moc"

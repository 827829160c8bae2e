// Several new PODs through the windows, headless: the count box on the POD-count screen, the
// search's best, bound and gap with Cancel, each new POD's mark in the result map's legend,
// the results listing every new POD, and the How Many PODs window's table, curve and cover.
#include <QFile>
#include <QLabel>
#include <QtTest>

#include "app/modulestate.h"
#include "app/studies.h"
#include "modaldriver.h"
#include "shell/grid.h"
#include "shell/mainfrm.h"
#include "studywindows.h"
#include "walks.h"

using namespace davrenta;
using davrenta::testing::GridOf;
using davrenta::testing::LoadFile;
using davrenta::testing::ModalDriver;
using davrenta::testing::ToFirstResults;

namespace {

// Main window -> description -> grid window -> the POD-count screen.
void ToPodCount(ModalDriver& d) {
    d.expectWindow("fldescfrm")
        .click("contbut")
        .expectWindow("flgridfrm")
        .click("Contbut")
        .expectWindow("flfrm");
}

QString LabelText(QWidget* w, const char* name) {
    auto* label = w->findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QString::fromLatin1(name));
}

QString GridRow(Grid* grid, int row) {
    QStringList cells;
    for (int c = 0; c < grid->cols(); ++c)
        cells << grid->textMatrix(row, c).trimmed();
    return cells.join(QLatin1Char('|'));
}

} // namespace

class SeveralPodsWindows : public QObject {
    Q_OBJECT

  private:
    davrenta::testing::StudyWindows study{[](mainfrm& m) { m.flcmd_Click(); }};
    ModuleState& state = study.state;

  private slots:
    void init() { study.open(); }
    void cleanup() { study.close(); }

    void countBoxRefusesBadInputThenThreePodsRunToTheirResults() {
        ModalDriver d(study.main.get());
        ToPodCount(d);
        d.setText("podcounttxt", "2")
            .click("severalbut")
            .expectMessage("The number of new PODs must be a whole number from 3 to 31.")
            .setText("podcounttxt", "3.5")
            .click("severalbut")
            .expectMessage("The number of new PODs must be a whole number from 3 to 31.")
            .setText("podcounttxt", "3")
            .setText("timelimittxt", "0")
            .click("severalbut")
            .expectMessage("The time limit must be a number of seconds above 0, or empty for none.")
            .setText("timelimittxt", "")
            .click("severalbut")
            .expectWindow("zedu1frm")
            .click("mintravbut")
            .click("rectbut");
        LoadFile(d, QStringLiteral("small-town.fl"));
        ToFirstResults(d)
            .click("okbut")
            .expectWindow("flareafrm")
            .check("the legend gives each new POD its mark and cell",
                   [](QWidget* w, QString* why) {
                       *why = w->findChild<QLabel*>("legendlbl")->accessibleDescription();
                       return why->endsWith(
                           "x: existing POD; X: new POD 1 (line 1, column 11); X: new POD 2 "
                           "(line 2, column 7); X: new POD 3 (line 3, column 12)");
                   })
            .click("okbut")
            .expectWindow("flservfrm")
            .check("every new POD is listed with its population, the result proven",
                   [](QWidget* w, QString* why) {
                       Grid* grid = GridOf(w, "facgrd");
                       *why = GridRow(grid, 4) + " / " + GridRow(grid, 5) + " / " +
                              GridRow(grid, 6) + " / " + LabelText(w, "prooflbl");
                       return *why == "*|11|1|624.615384615385 / @|7|2|962.634157509158 / "
                                      "#|12|3|1104.42307692308 / PROVEN OPTIMAL";
                   })
            .click("countbut")
            .expectWindow("flcountfrm")
            .setText("maxtxt", "32")
            .click("curvebut")
            .expectMessage("The number of new PODs must be a whole number from 1 to 28 (a "
                           "problem holds 31 PODs).")
            .setText("maxtxt", "3")
            .click("curvebut")
            .waitUntil("the table is filled",
                       [](QWidget* w) { return GridOf(w, "countgrd")->rows() == 4; })
            .check("each count's optimum beside one at a time",
                   [](QWidget* w, QString* why) {
                       Grid* grid = GridOf(w, "countgrd");
                       *why =
                           GridRow(grid, 1) + " / " + GridRow(grid, 2) + " / " + GridRow(grid, 3);
                       return *why == "1|3.549|3.549|yes / 2|2.947|3.084|yes / 3|2.659|2.678|yes";
                   })
            .check("the curve has a point per count",
                   [](QWidget* w, QString* why) {
                       *why = w->findChild<QWidget*>("chart")->accessibleDescription();
                       return why->count(QLatin1Char(';')) == 2;
                   })
            .setText("radiustxt", "-1")
            .click("coverbut")
            .expectMessage("The radius must be a distance of 0 or more.")
            .setText("radiustxt", "0.7")
            .click("coverbut")
            .waitUntil("the cover is answered",
                       [](QWidget* w) { return !LabelText(w, "coverlbl").isEmpty(); })
            .check("the fewest PODs with their cells",
                   [](QWidget* w, QString* why) {
                       *why = LabelText(w, "coverlbl");
                       return *why ==
                              "Fewest new PODs to bring every area cell within 0.7 of a POD: 2 "
                              "(proven). line 1, column 5; line 4, column 13.";
                   })
            .click("okbut")
            .expectWindow("flservfrm")
            .closeAll();
        QVERIFY(study.walk(d));
        QCOMPARE(state.fl.NewPodCount, 3);
    }

    void searchShowsBestBoundAndGapAndCancelLeavesTheInputMap() {
        // The full region without its existing PODs: ten new PODs take long enough to watch.
        QFile source(QStringLiteral(DAVRENTA_EXAMPLES_DIR "/full-region.fl"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = source.readAll().split('\n');
        QCOMPARE(lines[0].trimmed(), QByteArray("60,30,51"));
        lines[0] = "60,0,51\r";
        lines.erase(lines.begin() + 61, lines.begin() + 91); // the 30 POD records
        const QString path = study.dir.filePath(QStringLiteral("open-region.fl"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(lines.join('\n'));
        file.close();

        ModalDriver d(study.main.get());
        ToPodCount(d);
        d.setText("podcounttxt", "12")
            .click("severalbut")
            .expectWindow("zedu1frm")
            .click("mintravbut")
            .click("eucbut");
        LoadFile(d, path, false);
        d.expectWindow("flocgridfrm")
            .click("Okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .waitUntil("the progress shows the best, the bound and the gap",
                       [](QWidget* w) {
                           const QString text = LabelText(w, "Label1");
                           return text.startsWith("12 new PODs: best AVG. DIST. TRAVELED ") &&
                                  text.contains("; bound AVG. DIST. TRAVELED ") &&
                                  text.contains("; gap ");
                       })
            .click("cancelbut")
            .waitUntil("the search stopped",
                       [](QWidget* w) {
                           return LabelText(w, "Label1") == "Search cancelled. Ok runs it again.";
                       })
            .check("the input map is back, ready to run again",
                   [](QWidget* w, QString* why) {
                       *why = w->windowTitle();
                       return w->findChild<QWidget*>("okbut")->isEnabled() &&
                              !w->findChild<QWidget*>("cancelbut")->isVisible();
                   })
            .closeAll();
        QVERIFY(study.walk(d));
        QVERIFY(!state.fl.SearchResultFlag);
    }
};

QTEST_MAIN(SeveralPodsWindows)
#include "severalpods_windows_test.moc"

// The population-map windows as a user meets them, headless: map grids in a fixed-pitch font
// that Tab leaves, result maps scrolled to the new POD with a legend beside them, map symbols in
// the map font wherever they are shown, tables without empty rows, the distribution headings
// over their columns, and a printed map offered as a PDF named after the problem.
#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidgetItem>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/modulestate.h"
#include "app/studies.h"
#include "modaldriver.h"
#include "popmap/forms/flareafrm.h"
#include "popmap/forms/flinput4frm.h"
#include "shell/fonts.h"
#include "shell/grid.h"
#include "shell/mainfrm.h"
#include "shell/printing.h"
#include "studywindows.h"
#include "walks.h"

using namespace davrenta;
using davrenta::testing::GridOf;
using davrenta::testing::LoadFile;
using davrenta::testing::MapKeepsTwoThirds;
using davrenta::testing::ModalDriver;
using davrenta::testing::Setup;
using davrenta::testing::ToNumberedMap;

namespace {

// A map problem of one area "A" (population 100) and no existing POD; the header counts the
// line after the last.
void WriteMap(const QString& path, const QStringList& lines) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray text = "1,0," + QByteArray::number(lines.size() + 1) + "\r\n\"A\",100\r\n";
    for (const QString& line : lines)
        text += QByteArray::number(line.size()) + ",\"" + line.toLatin1() + "\"\r\n";
    QVERIFY(file.write(text) == text.size());
}

// Main window -> description -> grid window -> PODs -> measure -> method -> a file by its path.
void SetupWithFile(ModalDriver& d, const char* pods, const QString& path) {
    Setup(d, pods, "mintravbut", "rectbut");
    LoadFile(d, path, false);
    d.expectWindow("flocgridfrm").click("Okbut").expectWindow("flareafrm");
}

// Whether a table's cells of a column show their texts in the map font.
bool InMapFont(QWidget* w, const char* grid, int column, QString* why) {
    Grid* g = GridOf(w, grid);
    const QString family = MapFont().family();
    for (int r = 0; r < g->rowCount(); ++r) {
        const QTableWidgetItem* item = g->item(r, column);
        if (item && item->font().family() != family) {
            *why = QStringLiteral("%1 row %2 in %3").arg(grid).arg(r).arg(item->font().family());
            return false;
        }
    }
    return g->rowCount() > 0;
}

bool CellInView(Grid* grid, int line, int column) {
    const QRect cell = grid->visualRect(grid->model()->index(line - 1, column - 1));
    return grid->viewport()->rect().contains(cell);
}

int XIn(QWidget* window, QWidget* widget, int x) {
    return widget->mapTo(window, QPoint(x, 0)).x();
}

} // namespace

class PopMapWindows : public QObject {
    Q_OBJECT

  private:
    davrenta::testing::StudyWindows study{[](mainfrm& m) { m.flcmd_Click(); }};
    ModuleState& state = study.state;
    QTemporaryDir& dir = study.dir;

    bool walk(ModalDriver& d) { return study.walk(d); }

  private slots:
    void init() { study.open(); }
    void cleanup() { study.close(); }

    void resultMapShowsTheNewPodInAFixedPitchFontWithALegend() {
        // Population only in the bottom-right corner: the new POD lies beyond the first view.
        QStringList lines;
        for (int i = 1; i <= 44; ++i)
            lines << QStringLiteral(" ");
        for (int i = 45; i <= 50; ++i)
            lines << QString(50, QLatin1Char(' ')) + QString(10, QLatin1Char('A'));
        const QString path = dir.filePath(QStringLiteral("corner.fl"));
        WriteMap(path, lines);

        ModalDriver d(study.main.get());
        SetupWithFile(d, "onefacbut", path);
        d.check("the map grid's font is fixed-pitch",
                [](QWidget* w, QString* why) {
                    const QFontInfo info(GridOf(w, "flareagrd")->font());
                    *why = info.family();
                    return info.fixedPitch() && IsFixedPitch(info.family());
                })
            .step("Tab from the map",
                  [](QWidget* w) {
                      Grid* grid = GridOf(w, "flareagrd");
                      grid->setFocus();
                      QTest::keyClick(grid, Qt::Key_Tab);
                  })
            .check("Tab left the grid for a button",
                   [](QWidget*, QString* why) {
                       QWidget* focus = QApplication::focusWidget();
                       *why = focus ? focus->objectName() : QStringLiteral("nothing");
                       return qobject_cast<QPushButton*>(focus) != nullptr;
                   })
            .check(
                "no legend on the input map",
                [](QWidget* w, QString*) { return w->findChild<QLabel*>("legendlbl")->isHidden(); })
            .click("okbut")
            .expectWindow("flresultfrm")
            .click("okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectWindow("flpopfrm")
            .check("the headings stand over their columns",
                   [](QWidget* w, QString* why) {
                       Grid* grid = GridOf(w, "popgrd");
                       for (int c = 0; c < 3; ++c) {
                           auto* label =
                               w->findChild<QLabel*>(QStringLiteral("headlbl(%1)").arg(c));
                           const int labelX = XIn(w, label, 0);
                           const int columnX =
                               XIn(w, grid->viewport(), grid->columnViewportPosition(c));
                           *why = QStringLiteral("%1: label at %2, column at %3, width %4 vs %5")
                                      .arg(label->text())
                                      .arg(labelX)
                                      .arg(columnX)
                                      .arg(label->width())
                                      .arg(grid->columnWidth(c));
                           if (labelX != columnX || label->width() != grid->columnWidth(c) ||
                               label->sizeHint().width() > label->width())
                               return false;
                       }
                       return true;
                   })
            .click("okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectWindow("flservfrm")
            .click("okbut")
            .expectWindow("flareafrm")
            .expectCaption("SERVICE AREAS FOR EACH EXISTING FACILITY PLUS NEW FACILITY")
            .waitUntil("the new POD is in view",
                       [this](QWidget* w) {
                           return CellInView(GridOf(w, "flareagrd"), state.fl.NewPodLine,
                                             state.fl.NewPodColumn);
                       })
            .check("the legend names the marks",
                   [](QWidget* w, QString* why) {
                       auto* legend = w->findChild<QLabel*>("legendlbl");
                       *why = legend->accessibleDescription();
                       // Without existing PODs no cell is marked X.
                       return legend->isVisible() && *why == "*: served by new POD";
                   })
            .closeAll();
        QVERIFY(walk(d));
        QVERIFY2(state.fl.NewPodLine >= 45 && state.fl.NewPodColumn >= 51,
                 qPrintable(
                     QStringLiteral("%1,%2").arg(state.fl.NewPodLine).arg(state.fl.NewPodColumn)));
    }

    void withoutPodsTheTablesShowHeadingsOnlyAndSymbolsInTheMapFont() {
        QStringList lines{QStringLiteral("AAA"), QStringLiteral(" AA")};
        const QString path = dir.filePath(QStringLiteral("nopods.fl"));
        WriteMap(path, lines);
        ModalDriver d(study.main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        LoadFile(d, path, false);
        d.expectWindow("flocgridfrm")
            .check("no existing POD: the heading row alone",
                   [](QWidget* w, QString* why) {
                       *why = QString::number(GridOf(w, "facgrd")->rows());
                       return GridOf(w, "facgrd")->rows() == 1;
                   })
            .check("review symbols in the map font",
                   [](QWidget* w, QString* why) { return InMapFont(w, "areagrd", 1, why); })
            .click("Okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectWindow("flresultfrm")
            .check("no existing POD: the heading row alone, FACILITY a plain heading",
                   [](QWidget* w, QString* why) {
                       Grid* g = GridOf(w, "flfacgrd");
                       *why = QStringLiteral("%1 rows, %2 fixed columns, heading %3")
                                  .arg(g->rows())
                                  .arg(g->fixedCols())
                                  .arg(g->horizontalHeaderItem(0)->text());
                       return g->rows() == 1 && g->fixedCols() == 0 &&
                              g->horizontalHeaderItem(0)->text() == "FACILITY" &&
                              g->horizontalHeader()->isEnabled();
                   })
            .check("summary symbols in the map font",
                   [](QWidget* w, QString* why) { return InMapFont(w, "flareagrd", 1, why); })
            .click("okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectWindow("flpopfrm")
            .check("distribution symbols in the map font",
                   [](QWidget* w, QString* why) { return InMapFont(w, "popgrd", 0, why); })
            .click("okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectWindow("flservfrm")
            .check("result symbols in the map font",
                   [](QWidget* w, QString* why) { return InMapFont(w, "facgrd", 0, why); })
            .closeAll();
        QVERIFY(walk(d));
    }

    void withoutAreasTheAreaTableShowsItsHeadingOnly() {
        ModalDriver d(study.main.get());
        Setup(d, "onefacbut", "mintravbut", "rectbut");
        d.expectWindow("sourcefrm")
            .click("Keybut")
            .expectWindow("flinputfrm")
            .check("symbol boxes in the map font",
                   [](QWidget* w, QString* why) {
                       *why = w->findChild<QLineEdit*>("inputsymtxt(0)")->font().family();
                       return *why == MapFont().family();
                   })
            .click("okbut")
            .expectWindow("flinput2frm")
            .click("okbut")
            .expectWindow("flinput4frm")
            .click("okbut")
            .expectWindow("flocgridfrm")
            .check("no area: the heading row alone",
                   [](QWidget* w, QString* why) {
                       *why = QString::number(GridOf(w, "areagrd")->rows());
                       return GridOf(w, "areagrd")->rows() == 1;
                   })
            .closeAll();
        QVERIFY(walk(d));
    }

    void theMapLineIsPrintedInTheMapFont() {
        state.SourceFlag = Source::Disk; // a problem read from a file keeps its lines
        state.fl.MapLine[1] = "AIlA";
        flinput4frm form(state, study.main.get());
        form.show();
        QString family;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (auto* text = box->findChild<QLabel*>("qt_msgbox_label"))
                    family = text->font().family() + "|" + text->text();
                box->accept();
            }
        });
        poll.start(10);
        form.Command1->click();
        poll.stop();
        QCOMPARE(family, MapFont().family() + "|AIlA");
    }

    void aThirtyPodLegendLeavesTheMapTwoThirdsOfTheWindow() {
        ModalDriver d(study.main.get());
        Setup(d, "onefacbut", "mintravbut", "eucbut");
        LoadFile(d, "full-region.fl");
        ToNumberedMap(d)
            .expectCaption("INPUT MAP WITH EXISTING FACILITIES MARKED BY NUMBER")
            .check("the numbered map's legend names each POD",
                   [](QWidget* w, QString* why) {
                       *why = w->findChild<QLabel*>("legendlbl")->accessibleDescription();
                       return why->startsWith("1: POD 1 (line ") && why->contains("; 3: POD 30 (");
                   })
            .check("the map keeps two thirds", MapKeepsTwoThirds)
            .click("okbut")
            .expectWindow("flpopfrm")
            .click("okbut")
            .expectWindow("flareafrm")
            .check("the map keeps two thirds", MapKeepsTwoThirds)
            .click("okbut")
            .expectWindow("flservfrm")
            .click("okbut")
            .expectWindow("flareafrm")
            .check("the map keeps two thirds", MapKeepsTwoThirds)
            .closeAll();
        QVERIFY(walk(d));
    }

    void printedMapIsOfferedAsAPdfNamedAfterTheProblem() {
        const QString path = dir.filePath(QStringLiteral("worked.fl"));
        QVERIFY(QFile::copy(QStringLiteral(DAVRENTA_EXAMPLES_DIR "/worked-example.fl"), path));
        const QString pdf = dir.filePath(QStringLiteral("elsewhere.pdf"));
        const QString top = QDir(dir.path()).canonicalPath();

        ModalDriver d(study.main.get());
        SetupWithFile(d, "onefacbut", path);
        d.click("prtbut");
        // The note about the missing printer comes before the first preview of the session.
        if (QPrinterInfo::availablePrinters().isEmpty())
            d.expectMessage(QString::fromUtf8(kNoPrinterText));
        d.expectWindow("printpreview")
            .click("savepdf")
            .expectWindow("savepdfdlg")
            .check("offered beside the problem file",
                   [&](QWidget* w, QString* why) {
                       auto* dialog = static_cast<QFileDialog*>(w);
                       auto* name = w->findChild<QLineEdit*>("fileNameEdit");
                       *why = QDir(dialog->directory().absolutePath()).canonicalPath() + " " +
                              name->text();
                       return *why == top + " worked-input-map.pdf";
                   })
            .setText("fileNameEdit", pdf)
            .step("press Save", [](QWidget* w) { static_cast<QDialog*>(w)->accept(); })
            .expectMessage("The report was saved as " + pdf + ".")
            .expectWindow("printpreview")
            .step("close the preview", [](QWidget* w) { static_cast<QDialog*>(w)->reject(); })
            .expectWindow("flareafrm")
            .closeAll();
        QVERIFY(walk(d));
        QFile saved(pdf);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.read(4) == "%PDF");
    }
};

QTEST_MAIN(PopMapWindows)
#include "windows_test.moc"

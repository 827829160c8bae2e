// Results out of the program: CSV that a spreadsheet reads back as shown, and pictures as PNG
// and SVG, through the export button every results window carries.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include "modaldriver.h"
#include "shell/exporter.h"
#include "shell/grid.h"
#include "shell/mainfrm.h"
#include "studywindows.h"

using davrenta::CsvRows;
using davrenta::mainfrm;
using davrenta::testing::GridOf;
using davrenta::testing::ModalDriver;
using davrenta::testing::StudyWindows;

namespace {

const QString kExamples = QDir::cleanPath(QStringLiteral(DAVRENTA_EXAMPLES_DIR));

// An RFC 4180 reader, as a spreadsheet reads the file.
CsvRows ParseCsv(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    CsvRows rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row << field;
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row << field;
            field.clear();
            rows << row;
            row.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

// Every text an SVG draws, in order; empty when the file is not well-formed XML.
QStringList SvgTexts(const QString& path, bool* wellFormed) {
    QFile file(path);
    QStringList texts;
    *wellFormed = file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    while (*wellFormed && !xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text")
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    }
    *wellFormed = *wellFormed && !xml.hasError();
    return texts;
}

// A grid's cells as the window shows them, headings included, row by row.
CsvRows GridCells(QWidget* window, const char* name) {
    davrenta::Grid* grid = GridOf(window, name);
    CsvRows cells;
    for (int r = 0; r < grid->rows(); ++r) {
        QStringList row;
        for (int c = 0; c < grid->cols(); ++c)
            row << grid->textMatrix(r, c).trimmed();
        cells << row;
    }
    return cells;
}

// Triggers one entry of the window's export menu.
ModalDriver& Export(ModalDriver& d, const QString& entry) {
    return d.step("export " + entry, [entry](QWidget* w) {
        auto* button = w->findChild<QPushButton*>("exportbut");
        QAction* action = w->findChild<QAction*>(entry);
        if (!button || !button->isVisible() || !action) {
            qWarning("no export entry %s", qPrintable(entry));
            return;
        }
        action->trigger();
    });
}

} // namespace

class ExporterTest : public QObject {
    Q_OBJECT

    StudyWindows study{[](mainfrm&) {}};
    QStringList proposed;
    QString exportDir;

  private slots:
    void init() {
        study.open();
        exportDir = study.dir.path();
        proposed.clear();
        davrenta::SetExportPathChooser([this](QWidget*, const QString& offered) {
            proposed << offered;
            return QDir(exportDir).filePath(QFileInfo(offered).fileName());
        });
    }
    void cleanup() { study.close(); }

    void csvQuotesOnlyWhatNeedsItAndEndsRecordsWithCrLf() {
        const CsvRows rows = {
            {"a", "b,c", ""}, {"say \"hi\"", "line\nbreak", "Zürich"}, {"1.250", " 7"}};
        QCOMPARE(davrenta::CsvText(rows),
                 QByteArray("a,\"b,c\",\r\n\"say \"\"hi\"\"\",\"line\nbreak\",Z\xc3\xbcrich\r\n"
                            "1.250, 7\r\n"));
        QCOMPARE(ParseCsv(davrenta::CsvText(rows)), rows);
    }

    void tableRowsAreTheCellsAsShownWithoutTrailingEmptyOnes() {
        davrenta::Grid grid;
        grid.setRows(5);
        grid.setCols(4);
        grid.setTextMatrix(0, 1, QStringLiteral("Site"));
        grid.setTextMatrix(0, 2, QStringLiteral("Cost"));
        grid.setTextMatrix(1, 0, QStringLiteral(" 1 "));
        grid.setTextMatrix(1, 2, QStringLiteral("12.50"));
        grid.setTextMatrix(2, 1, QStringLiteral("3"));
        QCOMPARE(davrenta::TableRows(&grid),
                 (CsvRows{{"", "Site", "Cost"}, {"1", "", "12.50"}, {"", "3", ""}}));
    }

    void fullColumnsStandBesideTheFiguresTheyRefineAndReadBackExactly() {
        const CsvRows shown = {{"Pair", "Mean", "Share"}, {"A", "0.30", "33.3"}, {"B", "1.00"}};
        const std::vector<davrenta::FullColumn> full = {{2, {100.0 / 3, std::nullopt}},
                                                        {1, {0.1 + 0.2, 1.0}, "Mean, first"},
                                                        {1, {1e-7, -2.5}, "Mean, second"}};
        const CsvRows rows = davrenta::WithFullColumns(shown, full);
        QCOMPARE(rows, (CsvRows{{"Pair", "Mean", "Mean, first", "Mean, second", "Share",
                                 "Share (full precision)"},
                                {"A", "0.30", "0.30000000000000004", "1E-07", "33.3",
                                 "33.333333333333336"},
                                {"B", "1.00", "1", "-2.5", "", ""}}));
        QCOMPARE(rows[1][2].toDouble(), 0.1 + 0.2);
        QCOMPARE(rows[1][5].toDouble(), 100.0 / 3);
    }

    void exportNamesFollowTheProblemFile() {
        study.state.ProblemFileName = "/data/plans/county-depots.sm";
        QCOMPARE(davrenta::ExportPath(study.state, "Service area map", "svg"),
                 QStringLiteral("/data/plans/county-depots-service-area-map.svg"));
    }

    void siteCostsExportAsCsvThatReadsBackAsShown() {
        ModalDriver d(study.main.get());
        CsvRows shown;
        d.expectWindow("smdescfrm")
            .click("Ok")
            .expectWindow("smfrm")
            .click("onecmd")
            .expectWindow("smgridfrm")
            .click("okbut")
            .expectWindow("smresultsfrm")
            .step("read the cost table", [&](QWidget* w) {
                davrenta::Grid* grid = GridOf(w, "costgrd");
                for (int r = 0; r < grid->rows(); ++r) {
                    QStringList row;
                    for (int c = 0; c < grid->cols(); ++c)
                        row << grid->textMatrix(r, c).trimmed();
                    shown << row;
                }
            });
        Export(d, "export costs csv");
        Export(d, "export costs csv full").closeAll();
        const QString file = QDir(kExamples).filePath("tied-sites.sm");
        QVERIFY(study.walk(d, [&] { study.main->openProblemFile(file); }));
        QCOMPARE(proposed, (QStringList{QDir(kExamples).filePath("tied-sites-costs.csv"),
                                        QDir(kExamples).filePath("tied-sites-costs-full.csv")}));
        const CsvRows read = ParseCsv(
            davrenta::testing::FileBytes(QDir(exportDir).filePath("tied-sites-costs.csv")));
        QVERIFY(!read.isEmpty());
        QCOMPARE(read.size(), shown.size());
        for (qsizetype r = 0; r < read.size(); ++r)
            for (qsizetype c = 0; c < read[r].size(); ++c)
                QCOMPARE(read[r][c], shown[r][c]);
        const CsvRows full = ParseCsv(
            davrenta::testing::FileBytes(QDir(exportDir).filePath("tied-sites-costs-full.csv")));
        const CsvRows expected = {{"Maximum sites", "Sites used", "Optimal total cost", "Saving"},
                                  {"1", "2", "49", ""},
                                  {"2", "1, 2", "40", "9"},
                                  {"3", "1, 2, 3", "40", "0"}};
        QCOMPARE(read, expected);
        QCOMPARE(full, expected); // whole costs: the full precision is the same text
    }

    void serviceAreaMapExportsAsSvgWithEveryPodsMarkAndAsPng() {
        ModalDriver d(study.main.get());
        QStringList marks;
        QString legend;
        d.expectWindow("fldescfrm")
            .click("contbut")
            .expectWindow("flgridfrm")
            .click("Contbut")
            .expectWindow("flfrm")
            .click("onefacbut")
            .expectWindow("zedu1frm")
            .click("mintravbut")
            .click("rectbut")
            .expectWindow("flocgridfrm")
            .click("Okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectWindow("flresultfrm")
            .click("okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectWindow("flpopfrm")
            .click("okbut")
            .expectWindow("flareafrm")
            .click("okbut")
            .expectWindow("flservfrm")
            .click("okbut")
            .expectWindow("flareafrm")
            .expectCaption("SERVICE AREAS FOR EACH EXISTING FACILITY PLUS NEW FACILITY")
            .step("read the map's cells", [&](QWidget* w) {
                davrenta::Grid* grid = GridOf(w, "flareagrd");
                for (int r = 1; r < grid->rows(); ++r)
                    for (int c = 1; c < grid->cols(); ++c)
                        if (!grid->textMatrix(r, c).trimmed().isEmpty())
                            marks << grid->textMatrix(r, c).trimmed();
                legend = w->findChild<QLabel*>("legendlbl")->accessibleDescription();
            });
        Export(d, "export service area map svg");
        Export(d, "export service area map png").closeAll();
        const QString file = QDir(kExamples).filePath("worked-example.fl");
        QVERIFY(study.walk(d, [&] { study.main->openProblemFile(file); }));
        QCOMPARE(proposed,
                 (QStringList{QDir(kExamples).filePath("worked-example-service-area-map.svg"),
                              QDir(kExamples).filePath("worked-example-service-area-map.png")}));
        // The map shows the areas' marks and the new POD's; every one is drawn as text.
        // The three populated cells the new POD serves, and the legend naming their mark; the
        // map marks no POD cell when there are no existing PODs.
        QCOMPARE(marks, (QStringList{"*", "*", "*"}));
        QCOMPARE(legend, QStringLiteral("*: served by new POD"));
        bool wellFormed = false;
        const QStringList texts =
            SvgTexts(QDir(exportDir).filePath("worked-example-service-area-map.svg"), &wellFormed);
        QVERIFY(wellFormed);
        // Every cell's mark drawn as text, and the legend beneath with the mark it names.
        QCOMPARE(texts.count("*"), 4);
        const QString drawn = texts.join(' ').simplified(); // the legend spaces are non-breaking
        QVERIFY2(!texts.contains("X"), qPrintable(drawn));
        QVERIFY2(drawn.endsWith("served by new POD"), qPrintable(drawn));
        QVERIFY(texts.contains("60")); // the whole map, not only the columns in view
        const QImage png(QDir(exportDir).filePath("worked-example-service-area-map.png"));
        QVERIFY(!png.isNull());
        QVERIFY(png.width() > 100);
    }

    // Euclidean distances: every figure the table rounds has more digits than it shows.
    void activityTableAndFlowDiagramExportAsShownAtFullPrecisionAndAsPictures() {
        ModalDriver d(study.main.get());
        CsvRows activity, switches, best;
        d.expectWindow("mhactdescfrm")
            .click("Command1")
            .expectWindow("mhinput1frm")
            .click("eucbut")
            .expectWindow("mhdatafrm")
            .click("okbut")
            .expectWindow("mhdeptfrm")
            .click("okbut")
            .expectWindow("mhres1frm")
            .step("read the activity table",
                  [&](QWidget* w) { activity = GridCells(w, "res1grd"); });
        Export(d, "export activity csv");
        Export(d, "export activity csv full");
        Export(d, "export flow diagram svg");
        Export(d, "export flow diagram png");
        d.click("Command1").expectWindow("mhres2frm").step("read the switches", [&](QWidget* w) {
            switches = GridCells(w, "res2grd");
        });
        Export(d, "export switches csv full");
        d.step("leave the switches", [](QWidget* w) { static_cast<QDialog*>(w)->reject(); })
            .expectWindow("mhres1frm")
            .click("bestbut")
            .expectWindow("mhbestfrm")
            .check("nothing to export before the search",
                   [](QWidget* w, QString*) {
                       return !w->findChild<QPushButton*>("exportbut")->isEnabled();
                   })
            .click("searchbut")
            .waitUntil(
                "the search ended",
                [](QWidget* w) { return !w->findChild<QLabel*>("Label1")->text().isEmpty(); })
            .step("read the best layout", [&](QWidget* w) { best = GridCells(w, "bestgrd"); });
        Export(d, "export best layout csv full");
        Export(d, "export best layout diagram svg");
        d.click("keepbut").expectWindow("mhres1frm").click("newbut").closeAll();
        const QString file = QDir(kExamples).filePath("machine-shop.mh");
        QVERIFY(study.walk(d, [&] { study.main->openProblemFile(file); }));
        const QDir out(exportDir);
        QCOMPARE(proposed.first(), QDir(kExamples).filePath("machine-shop-activity.csv"));

        const CsvRows read =
            ParseCsv(davrenta::testing::FileBytes(out.filePath("machine-shop-activity.csv")));
        QVERIFY(activity.size() > 2);
        QCOMPARE(read, activity);
        QCOMPARE(read[0],
                 (QStringList{"FROM DEPT", "TO DEPT", "LOADS", "DIST", "LOADS X DIST", "PERCENT"}));
        // Mill and Drill: 30 + 6 loads over sqrt(1000), of 4644.11 in all.
        const CsvRows full =
            ParseCsv(davrenta::testing::FileBytes(out.filePath("machine-shop-activity-full.csv")));
        QCOMPARE(full[0], (QStringList{"FROM DEPT", "TO DEPT", "LOADS", "LOADS (full precision)",
                                       "DIST", "DIST (full precision)", "LOADS X DIST",
                                       "LOADS X DIST (full precision)", "PERCENT",
                                       "PERCENT (full precision)"}));
        QCOMPARE(full.size(), read.size());
        const auto pair = [&](const QString& from, const QString& to) {
            for (const QStringList& row : full)
                if (row[0] == from && row[1] == to)
                    return row;
            return QStringList();
        };
        const QStringList drill = pair("Mill", "Drill");
        QCOMPARE(drill.mid(2, 7), (QStringList{"36", "36", "31.6", "31.622776601683793", "1138.4",
                                               "1138.4199576606165", "24.51"}));
        QCOMPARE(drill[5].toDouble(), 31.622776601683793);
        QCOMPARE(drill[7].toDouble(), 1138.4199576606165);
        QVERIFY2(std::abs(drill[9].toDouble() - 24.51322405222547) < 1e-12, qPrintable(drill[9]));
        for (const QStringList& row : full) // the shown figures keep their columns
            QCOMPARE((QStringList{row[0], row[1], row[2], row[4], row[6], row[8]}),
                     read[full.indexOf(row)]);

        const CsvRows switchesRead =
            ParseCsv(davrenta::testing::FileBytes(out.filePath("machine-shop-switches-full.csv")));
        QVERIFY(switches.size() > 1);
        QCOMPARE(switchesRead.size(), switches.size());
        for (qsizetype r = 1; r < switches.size(); ++r) {
            QCOMPARE(switchesRead[r].mid(0, 3), switches[r]);
            // 15 digits shown; the full figure rounds to them.
            QCOMPARE(switchesRead[r][3].toDouble(), switches[r][2].toDouble());
        }

        const CsvRows bestRead = ParseCsv(
            davrenta::testing::FileBytes(out.filePath("machine-shop-best-layout-full.csv")));
        QCOMPARE(bestRead[0], (QStringList{"DEPARTMENT", "X", "X (full precision)", "Y",
                                           "Y (full precision)", "PLACE OF"}));
        QCOMPARE(bestRead.size(), 9);
        QCOMPARE(bestRead.size(), best.size());

        const QStringList departments = {"Receiving", "Saw",   "Lathe",   "Mill",
                                         "Drill",     "Grind", "Inspect", "Shipping"};
        for (const QString& name : {QStringLiteral("machine-shop-flow-diagram.svg"),
                                    QStringLiteral("machine-shop-best-layout-diagram.svg")}) {
            bool wellFormed = false;
            const QStringList texts = SvgTexts(out.filePath(name), &wellFormed);
            QVERIFY2(wellFormed, qPrintable(name));
            for (const QString& department : departments)
                QVERIFY2(texts.contains(department),
                         qPrintable(name + ": " + texts.join(QLatin1Char('|'))));
        }
        QVERIFY(!QImage(out.filePath("machine-shop-flow-diagram.png")).isNull());
    }

    // The loading dock under its first option, seed 42: the means, deviations and half-widths
    // as the boxes show them and as the run computed them; the histogram and the comparison.
    void simulationResultsAndComparisonExportAsShownAtFullPrecisionAndAsPictures() {
        ModalDriver d(study.main.get());
        CsvRows boxes;
        CsvRows compared;
        d.expectWindow("mhsdescfrm")
            .click("okbut")
            .expectWindow("mhsinput1frm")
            .click("input1but")
            .expectWindow("mhsinput2frm")
            .setText("seedtxt", "42")
            .click("okbut")
            .expectWindow("mhsresult1frm")
            .step("read the results' boxes", [&](QWidget* w) {
                for (const char* field : {"numserv", "linelen", "wait", "propbusy"}) {
                    QStringList row;
                    for (const char* suffix : {"meantxt", "stdtxt", "halftxt"})
                        row << w->findChild<QLineEdit*>(QString::fromLatin1(field) + suffix)
                                   ->text();
                    boxes << row;
                }
                boxes << QStringList{w->findChild<QLineEdit*>("maxlinetxt")->text()};
            });
        Export(d, "export results csv");
        Export(d, "export results csv full");
        Export(d, "export histogram csv");
        Export(d, "export histogram svg");
        d.click("comparebut")
            .expectWindow("mhscomparefrm")
            .setText("fromtxt", "2")
            .setText("totxt", "4")
            .click("comparebut")
            .waitUntil(
                "the comparison is done",
                [](QWidget* w) { return w->findChild<QPushButton*>("exportbut")->isEnabled(); })
            .step("read the comparison", [&](QWidget* w) {
                auto* grid = w->findChild<QTableWidget*>("comparegrid");
                QStringList heading;
                for (int c = 0; c < grid->columnCount(); ++c)
                    heading << grid->horizontalHeaderItem(c)->text();
                compared << heading;
                for (int r = 0; r < grid->rowCount(); ++r) {
                    QStringList row;
                    for (int c = 0; c < grid->columnCount(); ++c)
                        row << grid->item(r, c)->text();
                    compared << row;
                }
            });
        Export(d, "export server comparison csv");
        Export(d, "export server comparison csv full");
        Export(d, "export server chart svg");
        d.click("closebut").expectWindow("mhsresult1frm").closeAll();
        const QString file = QDir(kExamples).filePath("loading-dock.mhs");
        QVERIFY(study.walk(d, [&] { study.main->openProblemFile(file); }));
        const QDir out(exportDir);

        const CsvRows read =
            ParseCsv(davrenta::testing::FileBytes(out.filePath("loading-dock-results.csv")));
        QCOMPARE(read.size(), 6);
        QCOMPARE(read[0], (QStringList{"Measure", "Mean", "Std. Dev.", "95% half-width"}));
        QCOMPARE(read[3][0], QStringLiteral("Wait time per service (minutes)"));
        QCOMPARE(read[5].mid(0, 2), (QStringList{"Maximum observed line length", boxes[4][0]}));
        for (int r = 0; r < 4; ++r)
            QCOMPARE(read[r + 1].mid(1), boxes[r]);
        const CsvRows full =
            ParseCsv(davrenta::testing::FileBytes(out.filePath("loading-dock-results-full.csv")));
        QCOMPARE(full[0], (QStringList{"Measure", "Mean", "Mean (full precision)", "Std. Dev.",
                                       "Std. Dev. (full precision)", "95% half-width",
                                       "95% half-width (full precision)"}));
        // The wait's figures, as the batch program's JSON gives them for this run too.
        QCOMPARE(full[3].mid(1), (QStringList{"23.33", "23.332697808839185", "27.24",
                                              "27.23795251408934", "3.39", "3.392880539949725"}));
        QCOMPARE(full[3][2].toDouble(), 23.332697808839185);

        const CsvRows histogram =
            ParseCsv(davrenta::testing::FileBytes(out.filePath("loading-dock-histogram.csv")));
        QCOMPARE(histogram[0], (QStringList{"Number served per cycle", "Cycles"}));
        int cycles = 0;
        for (qsizetype r = 1; r < histogram.size(); ++r)
            cycles += histogram[r][1].toInt();
        QCOMPARE(cycles, 250);
        bool wellFormed = false;
        SvgTexts(out.filePath("loading-dock-histogram.svg"), &wellFormed);
        QVERIFY(wellFormed);

        const CsvRows comparison = ParseCsv(
            davrenta::testing::FileBytes(out.filePath("loading-dock-server-comparison.csv")));
        QCOMPARE(comparison.size(), 4);
        QCOMPARE(comparison, compared);
        const CsvRows comparisonFull = ParseCsv(
            davrenta::testing::FileBytes(out.filePath("loading-dock-server-comparison-full.csv")));
        QCOMPARE(comparisonFull[0].mid(0, 4),
                 (QStringList{"Servers", "Wait time per service (minutes)",
                              "Wait time per service (minutes) mean (full precision)",
                              "Wait time per service (minutes) 95% half-width (full precision)"}));
        QCOMPARE(comparisonFull[1][1], compared[1][1]);
        SvgTexts(out.filePath("loading-dock-server-chart.svg"), &wellFormed);
        QVERIFY(wellFormed);
    }

    // Six clinics weighing 2360 in all: the squared Euclidean point is their weighted centroid,
    // kept in single precision.
    void singleFacilityLocationsExportAsShownAndAtFullPrecision() {
        ModalDriver d(study.main.get());
        d.expectWindow("sfdescfrm")
            .click("contbut")
            .expectWindow("sfgridfrm")
            .check("no export before a solve",
                   [](QWidget* w, QString*) {
                       return !w->findChild<QPushButton*>("exportbut")->isVisible();
                   })
            .click("okbut")
            .expectText("olsqeuxlbl", "5.776");
        Export(d, "export optimal locations csv");
        Export(d, "export optimal locations csv full").closeAll();
        const QString file = QDir(kExamples).filePath("rural-clinic.sf");
        QVERIFY(study.walk(d, [&] { study.main->openProblemFile(file); }));
        const QDir out(exportDir);
        const CsvRows shown = ParseCsv(
            davrenta::testing::FileBytes(out.filePath("rural-clinic-optimal-locations.csv")));
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown[0], (QStringList{"", "X", "Y", "Weighted total distance"}));
        QCOMPARE(shown[3].mid(1, 2), (QStringList{"5.776", "5.674"}));
        const CsvRows full = ParseCsv(
            davrenta::testing::FileBytes(out.filePath("rural-clinic-optimal-locations-full.csv")));
        QCOMPARE(full[0], (QStringList{"", "X", "X (full precision)", "Y", "Y (full precision)",
                                       "Weighted total distance",
                                       "Weighted total distance (full precision)"}));
        QCOMPARE(full[3].mid(1, 4),
                 (QStringList{"5.776", "5.775847434997559", "5.674", "5.673728942871094"}));
        QCOMPARE(full[3][2].toDouble(), double(5.775847434997559f));
        for (int r = 1; r < 4; ++r)
            QCOMPARE((QStringList{full[r][0], full[r][1], full[r][3], full[r][5]}), shown[r]);
    }
};

QTEST_MAIN(ExporterTest)
#include "exporter_test.moc"

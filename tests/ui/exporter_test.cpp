// Results out of the program: CSV that a spreadsheet reads back as shown, and pictures as PNG
// and SVG, through the export button every results window carries.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
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
        // The three populated cells the new POD serves, and the legend naming the POD's mark.
        QCOMPARE(marks, (QStringList{"*", "*", "*"}));
        QCOMPARE(legend, QStringLiteral("*: served by new POD; X: new POD"));
        bool wellFormed = false;
        const QStringList texts =
            SvgTexts(QDir(exportDir).filePath("worked-example-service-area-map.svg"), &wellFormed);
        QVERIFY(wellFormed);
        // Every cell's mark drawn as text, and the legend beneath with the new POD's mark.
        QCOMPARE(texts.count("*"), 4);
        const QString drawn = texts.join(' ').simplified(); // the legend spaces are non-breaking
        QVERIFY2(texts.contains("X"), qPrintable(drawn));
        QVERIFY2(drawn.contains("served by new POD"), qPrintable(drawn));
        QVERIFY2(drawn.contains("X") && drawn.endsWith("new POD"), qPrintable(drawn));
        QVERIFY(texts.contains("60")); // the whole map, not only the columns in view
        const QImage png(QDir(exportDir).filePath("worked-example-service-area-map.png"));
        QVERIFY(!png.isNull());
        QVERIFY(png.width() > 100);
    }
};

QTEST_MAIN(ExporterTest)
#include "exporter_test.moc"

// The printing service: the sink seam, failure messages, font mapping, the preview with its
// PDF path, and a real PDF whose columns line up as the report says.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QPrintPreviewDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include "modaldriver.h"
#include "popmap/reports.h"
#include "shell/fonts.h"
#include "shell/printing.h"
#include "shell/windowkit.h"

using davrenta::Report;
using davrenta::testing::MessageCapture;
using davrenta::testing::ModalDriver;
using davrenta::testing::PrintCapture;

namespace {

// The page text of a PDF as pdftotext lays it out, one string per line.
QStringList PdfLayoutText(const QString& pdf, QString* error) {
    const QString tool = QStringLiteral(DAVRENTA_PDFTOTEXT_PATH);
    if (tool.isEmpty()) {
        *error = QStringLiteral("pdftotext is not installed (poppler-utils)");
        return {};
    }
    QProcess process;
    process.start(tool, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        *error = QStringLiteral("pdftotext failed: ") +
                 QString::fromLocal8Bit(process.readAllStandardError());
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
}

Report SmallReport() {
    Report r("times new roman", 12);
    r.line().text("Area").tab(10).text("Number of").tab(25).text("Pop. per");
    r.line().text("A").tab(10).number(12).tab(25).text("3.50");
    return r;
}

} // namespace

class PrintingTest : public QObject {
    Q_OBJECT

  private slots:
    void sinkCapturesThePrintedReport();
    void failedJobIsReportedInAMessage();
    void reportFontsAreMapped();
    void fixedPitchFontsAreVerifiedNotTakenOnTheirName();
    void gridOverlayPdfLinesUpUnderTheRulers();
    void proportionalReportPaintsEveryPiece();
    void pdfThatCannotBeWrittenIsReported();
    void previewSavesPdf();
    void reportPdfIsNamedAfterTheProblemFile();
};

void PrintingTest::sinkCapturesThePrintedReport() {
    PrintCapture printed;
    MessageCapture messages;
    const Report overlay = davrenta::GridOverlayReport();
    QVERIFY(davrenta::PrintReport(nullptr, overlay));
    QVERIFY(davrenta::PrintReport(nullptr, SmallReport()));
    QCOMPARE(printed.reports.size(), std::size_t{2});
    QVERIFY(printed.reports[0] == overlay);
    QVERIFY(printed.reports[1] == SmallReport());
    QVERIFY(messages.texts.isEmpty());
}

void PrintingTest::failedJobIsReportedInAMessage() {
    PrintCapture printed;
    printed.failWith = QStringLiteral("The printer is out of paper.");
    MessageCapture messages;
    QVERIFY(!davrenta::PrintReport(nullptr, SmallReport()));
    QCOMPARE(messages.texts,
             QStringList{
                 QStringLiteral("The report could not be printed.\nThe printer is out of paper.")});
}

void PrintingTest::reportFontsAreMapped() {
    const QString courier = davrenta::ReportFontFamily("courier");
    QVERIFY2(courier == QStringLiteral("Courier New") ||
                 courier == QStringLiteral("Liberation Mono"),
             qPrintable(courier));
    QCOMPARE(davrenta::ReportFontFamily("Courier"), courier);
    const QString times = davrenta::ReportFontFamily("times new roman");
    QVERIFY2(times == QStringLiteral("Times New Roman") ||
                 times == QStringLiteral("Liberation Serif"),
             qPrintable(times));
    QVERIFY(davrenta::ReportFontFamily("").isEmpty());

    const QFont fixedsys = davrenta::ReportFont(Report("fixedsys", 10));
    QVERIFY2(QFontInfo(fixedsys).fixedPitch(), qPrintable(QFontInfo(fixedsys).family()));
    QCOMPARE(fixedsys.pointSize(), 10);
    const QFont mono = davrenta::ReportFont(Report("courier", 12));
    QVERIFY(QFontInfo(mono).fixedPitch());
    QCOMPARE(QFontInfo(mono).family(), courier);
    QCOMPARE(mono.pointSize(), 12);
    QCOMPARE(davrenta::ReportFont(Report("", 0)).pointSize(), 10);
}

void PrintingTest::fixedPitchFontsAreVerifiedNotTakenOnTheirName() {
    // A proportional family asked for first is passed over, as a system monospace font of
    // uneven widths is.
    const QString serif = davrenta::ReportFontFamily("times new roman");
    QVERIFY(!davrenta::IsFixedPitch(serif));
    QVERIFY(!davrenta::IsFixedPitch(QStringLiteral("No Such Family Anywhere")));
    const QString chosen = davrenta::FixedPitchFamily({serif});
    QVERIFY2(chosen != serif, qPrintable(chosen));
    QVERIFY2(davrenta::IsFixedPitch(chosen), qPrintable(chosen));
    QCOMPARE(davrenta::FixedPitchFamily({QStringLiteral("Liberation Mono")}),
             QStringLiteral("Liberation Mono"));
    for (const char* name : {"fixedsys", "courier"}) {
        const QFontInfo info(davrenta::ReportFont(Report(name, 10)));
        QVERIFY2(info.fixedPitch() && davrenta::IsFixedPitch(info.family()),
                 qPrintable(QString::fromLatin1(name) + QStringLiteral(" -> ") + info.family()));
    }
    const QFontInfo map(davrenta::MapFont());
    QVERIFY2(davrenta::IsFixedPitch(map.family()), qPrintable(map.family()));
    const QFontMetrics metrics(davrenta::MapFont());
    QCOMPARE(metrics.horizontalAdvance(QStringLiteral("I")),
             metrics.horizontalAdvance(QStringLiteral("W")));
}

void PrintingTest::gridOverlayPdfLinesUpUnderTheRulers() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("grid.pdf"));
    QString error;
    QVERIFY2(davrenta::PaintReportToPdf(davrenta::GridOverlayReport(), pdf, &error),
             qPrintable(error));
    const QStringList lines = PdfLayoutText(pdf, &error);
    QVERIFY2(!lines.isEmpty(), qPrintable(error));

    const QString units =
        QStringLiteral("123456789012345678901234567890123456789012345678901234567890");
    const QString tens = QStringLiteral("111111111122222222223333333333444444444455555555556");
    const QString dots(60, QLatin1Char('.'));
    qsizetype unitsAt = -1;
    qsizetype tensAt = -1;
    int rows = 0;
    bool title = false;
    for (const QString& line : lines) {
        if (line.contains(units))
            unitsAt = line.indexOf(units);
        else if (line.contains(tens))
            tensAt = line.indexOf(tens);
        if (line.contains(QStringLiteral("Grid for ZEDU Map")))
            title = true;
        const qsizetype dotsAt = line.indexOf(dots);
        if (dotsAt < 0)
            continue;
        ++rows;
        QVERIFY2(unitsAt >= 0, "the units ruler stands above the first row");
        // The 60 dots of every row stand under the 60 digits of the units ruler.
        QVERIFY2(dotsAt == unitsAt, qPrintable(QStringLiteral("row %1: dots at %2, ruler at %3\n%4")
                                                   .arg(rows)
                                                   .arg(dotsAt)
                                                   .arg(unitsAt)
                                                   .arg(line)));
        QCOMPARE(line.mid(dotsAt).trimmed(), dots); // exactly 60, nothing after them
        // The row number ends before the dots begin.
        QCOMPARE(line.left(dotsAt).trimmed(), QString::number(rows));
    }
    QCOMPARE(rows, 50);
    // The tens ruler's first "1" stands above the units ruler's "0" of column 10.
    QCOMPARE(tensAt, unitsAt + 9);
    QVERIFY(title);
}

void PrintingTest::proportionalReportPaintsEveryPiece() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("small.pdf"));
    QString error;
    QVERIFY2(davrenta::PaintReportToPdf(SmallReport(), pdf, &error), qPrintable(error));
    const QString text = PdfLayoutText(pdf, &error).join(QLatin1Char('\n'));
    QVERIFY2(!text.isEmpty(), qPrintable(error));
    for (const char* piece : {"Area", "Number of", "Pop. per", "12", "3.50"})
        QVERIFY2(text.contains(QString::fromLatin1(piece)), piece);
}

void PrintingTest::pdfThatCannotBeWrittenIsReported() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("no/such/folder/x.pdf"));
    QString error;
    QVERIFY(!davrenta::PaintReportToPdf(SmallReport(), pdf, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(pdf));

    // A failed save leaves an existing file as it was.
    const QString existing = dir.filePath(QStringLiteral("kept.pdf"));
    {
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old contents");
    }
    QVERIFY(davrenta::PaintReportToPdf(SmallReport(), existing, &error));
    QFile written(existing);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.read(4) == "%PDF");

    // A named pipe of that name stays a pipe.
    const QString pipe = dir.filePath(QStringLiteral("pipe.pdf"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(!davrenta::PaintReportToPdf(SmallReport(), pipe, &error));
    QVERIFY2(error.contains(QStringLiteral("it is a named pipe, not a file")), qPrintable(error));
    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(pipe).constData(), &after), 0);
    QVERIFY(S_ISFIFO(after.st_mode));
}

void PrintingTest::reportPdfIsNamedAfterTheProblemFile() {
    davrenta::ShellState state;
    state.ChooserFolder = "/data/plans";
    QCOMPARE(davrenta::ReportPdfPath(state, QStringLiteral("map")),
             QStringLiteral("/data/plans/map.pdf"));
    state.ProblemFileName = "/home/ann/county.v2.fl";
    QCOMPARE(davrenta::ReportPdfPath(state, QStringLiteral("results")),
             QStringLiteral("/home/ann/county.v2-results.pdf"));
}

void PrintingTest::previewSavesPdf() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("saved.pdf"));
    bool result = false;
    ModalDriver driver;
    // Without a printer the user is told first, and the PDF is still there to save.
    if (QPrinterInfo::availablePrinters().isEmpty())
        driver.expectMessage(QString::fromUtf8(davrenta::kNoPrinterText));
    driver.expectWindow(QStringLiteral("printpreview"))
        .click(QStringLiteral("savepdf"))
        .expectWindow(QStringLiteral("savepdfdlg"))
        .setText(QStringLiteral("fileNameEdit"), pdf)
        .step(QStringLiteral("press Save"), [](QWidget* w) { static_cast<QDialog*>(w)->accept(); })
        .expectMessage(QStringLiteral("The report was saved as ") + pdf + QStringLiteral("."))
        .expectWindow(QStringLiteral("printpreview"))
        .step(QStringLiteral("close the preview"),
              [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    QVERIFY2(
        driver.run([&] { result = davrenta::PrintReport(nullptr, davrenta::GridOverlayReport()); }),
        qPrintable(driver.failure()));
    QVERIFY(result);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(4) == "%PDF");

    // The next preview of the session comes without the note, the PDF offered as asked.
    ModalDriver again;
    again.expectWindow(QStringLiteral("printpreview"))
        .click(QStringLiteral("savepdf"))
        .expectWindow(QStringLiteral("savepdfdlg"))
        .expectText(QStringLiteral("fileNameEdit"), QStringLiteral("town-grid.pdf"))
        .step(QStringLiteral("cancel the PDF"),
              [](QWidget* w) { static_cast<QDialog*>(w)->reject(); })
        .expectWindow(QStringLiteral("printpreview"))
        .step(QStringLiteral("close the preview"),
              [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    QVERIFY2(again.run([&] {
        result = davrenta::PrintReport(nullptr, davrenta::GridOverlayReport(),
                                       dir.filePath(QStringLiteral("town-grid.pdf")));
    }),
             qPrintable(again.failure()));
    QVERIFY(!result);
    QVERIFY(again.messages().isEmpty());
}

QTEST_MAIN(PrintingTest)
#include "printing_test.moc"

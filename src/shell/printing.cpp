#include "shell/printing.h"

#include <memory>
#include <utility>

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QToolBar>

#include "shell/fonts.h"
#include "shell/messages.h"
#include "state/atomicfile.h"

namespace davrenta {

namespace {

// The one process-wide hook besides the message handler; only tests set it.
PrintSink& Sink() {
    static PrintSink sink;
    return sink;
}

QString WithReason(const char* text, const QString& reason) {
    QString message = QString::fromUtf8(text);
    if (!reason.isEmpty())
        message += QLatin1Char('\n') + reason;
    return message;
}

QString FirstInstalled(const QStringList& choices) {
    const QStringList families = QFontDatabase::families();
    for (const QString& choice : choices)
        if (families.contains(choice, Qt::CaseInsensitive))
            return choice;
    return QString();
}

std::unique_ptr<QPrinter> DefaultPrinter(bool* installed) {
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    *installed = !printers.isEmpty();
    if (printers.isEmpty())
        return std::make_unique<QPrinter>(QPrinter::HighResolution); // PDF output
    QPrinterInfo chosen = QPrinterInfo::defaultPrinter();
    if (chosen.isNull())
        chosen = printers.front();
    return std::make_unique<QPrinter>(chosen, QPrinter::HighResolution);
}

bool SavePdfFromPreview(QWidget* parent, const Report& report, const QString& offered) {
    QFileDialog dialog(parent, QStringLiteral("Save PDF"));
    dialog.setObjectName(QStringLiteral("savepdfdlg"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("PDF files (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    const QFileInfo where(offered.isEmpty() ? QStringLiteral("report.pdf") : offered);
    dialog.setDirectory(where.absolutePath());
    dialog.selectFile(where.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString path = dialog.selectedFiles().front();
    QString error;
    if (!PaintReportToPdf(report, path, &error)) {
        ShowMessage(parent, WithReason(kPdfFailedText, error));
        return false;
    }
    ShowMessage(parent, QString::fromLatin1(kPdfSavedText) + QDir::toNativeSeparators(path) +
                            QLatin1Char('.'));
    return true;
}

} // namespace

PrintSink SetPrintSink(PrintSink sink) {
    return std::exchange(Sink(), std::move(sink));
}

QString ReportFontFamily(const std::string& fontName) {
    const QString name = QString::fromStdString(fontName).trimmed().toLower();
    if (name.isEmpty())
        return QString();
    // Columns of the fixed-pitch reports line up only in a font that is verified fixed-pitch.
    if (name == QLatin1String("courier"))
        return FixedPitchFamily({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")});
    if (name == QLatin1String("fixedsys"))
        return FixedPitchFamily();
    if (name != QLatin1String("times new roman"))
        return QString::fromStdString(fontName);
    const QString family =
        FirstInstalled({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")});
    // Neither installed: let the font system find its like.
    return family.isEmpty() ? QStringLiteral("serif") : family;
}

QFont ReportFont(const Report& report) {
    QFont font;
    const QString family = ReportFontFamily(report.fontName);
    if (!family.isEmpty()) {
        font.setFamily(family);
        const bool serif = QString::fromStdString(report.fontName).trimmed().toLower() ==
                           QLatin1String("times new roman");
        font.setStyleHint(serif ? QFont::Serif : QFont::TypeWriter);
        font.setFixedPitch(!serif);
    }
    font.setPointSize(report.fontSize > 0 ? report.fontSize : 10);
    return font;
}

bool PaintReport(const Report& report, QPagedPaintDevice* device, QString* error) {
    QString ignored;
    QString& reason = error ? *error : ignored;
    QPainter painter;
    if (!device || !painter.begin(device)) {
        reason = QStringLiteral("The printer could not be started.");
        return false;
    }
    const QFont font = ReportFont(report);
    painter.setFont(font);
    const QFontMetricsF metrics(font, device);
    const qreal columnWidth = metrics.averageCharWidth();
    const qreal lineHeight = metrics.lineSpacing();
    const qreal pageHeight = device->height();

    qreal top = 0;
    for (const std::vector<ReportSegment>& line : RenderSegments(report)) {
        if (top > 0 && top + lineHeight > pageHeight) {
            if (!device->newPage()) {
                painter.end();
                reason = QStringLiteral("A new page could not be started.");
                return false;
            }
            top = 0;
        }
        qreal pen = 0; // where the previous text of this line ended
        for (const ReportSegment& piece : line) {
            const QString text = QString::fromStdString(piece.text);
            qreal x = pen;
            if (piece.tabbed) {
                x = (piece.column - 1) * columnWidth;
                // A proportional font may run past a tab stop; the next piece then follows the
                // text with a blank instead of painting over it.
                if (x < pen)
                    x = pen + metrics.horizontalAdvance(QLatin1Char(' '));
            }
            if (!text.isEmpty())
                painter.drawText(QPointF(x, top + metrics.ascent()), text);
            pen = x + metrics.horizontalAdvance(text);
        }
        top += lineHeight;
    }
    if (!painter.end()) {
        reason = QStringLiteral("The document could not be finished.");
        return false;
    }
    if (auto* printer = dynamic_cast<QPrinter*>(device);
        printer && printer->printerState() == QPrinter::Error) {
        reason = QStringLiteral("The printer reported an error.");
        return false;
    }
    return true;
}

bool PaintReportToPdf(const Report& report, const QString& path, QString* error) {
    QString ignored;
    QString& reason = error ? *error : ignored;
    // Painted in memory, then saved as every problem file is: atomically, through a link to
    // its target, and never over a folder, pipe or device.
    QByteArray document;
    {
        QBuffer buffer(&document);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QString::fromLatin1(kApplicationTitle));
        writer.setTitle(QString::fromLatin1(kApplicationTitle));
        // Margins small enough for a 50-line map with its rulers and title on one A4 page.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(10, 6, 10, 6), QPageLayout::Millimeter));
        if (!PaintReport(report, &writer, &reason))
            return false;
    }
    if (auto failed = WriteFileAtomically(
            QFile::encodeName(path).toStdString(),
            std::string(document.constData(), static_cast<std::size_t>(document.size())))) {
        reason = QString::fromStdString(*failed);
        return false;
    }
    return true;
}

bool PrintReport(QWidget* parent, const Report& report, const QString& pdfPath) {
    if (const PrintSink& sink = Sink()) {
        PrintSink call = sink;
        QString error;
        if (!call(report, &error)) {
            ShowMessage(parent, WithReason(kPrintFailedText, error));
            return false;
        }
        return true;
    }

    bool installed = false;
    std::unique_ptr<QPrinter> printer = DefaultPrinter(&installed);
    // Said once a session: the preview itself offers the PDF every time.
    static bool noPrinterNoted = false;
    if (!installed && !noPrinterNoted) {
        noPrinterNoted = true;
        ShowMessage(parent, kNoPrinterText);
    }
    printer->setDocName(QString::fromLatin1(kApplicationTitle));

    QPrintPreviewDialog preview(printer.get(), parent);
    preview.setObjectName(QStringLiteral("printpreview"));
    preview.setWindowTitle(QStringLiteral("Print Preview"));
    preview.setAccessibleName(QStringLiteral("Print Preview"));
    QString paintError;
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* target) {
                         paintError.clear();
                         PaintReport(report, target, &paintError);
                     });

    bool saved = false;
    auto* savePdf = new QAction(QStringLiteral("Save &PDF..."), &preview);
    savePdf->setObjectName(QStringLiteral("savepdf"));
    savePdf->setToolTip(QStringLiteral("Save the report as a PDF file"));
    QObject::connect(savePdf, &QAction::triggered, &preview,
                     [&] { saved = SavePdfFromPreview(&preview, report, pdfPath) || saved; });
    if (auto* toolbar = preview.findChild<QToolBar*>()) {
        toolbar->addSeparator();
        toolbar->addAction(savePdf);
    } else {
        preview.addAction(savePdf);
    }

    // The preview paints into the printer once more when the user prints; that last paint
    // tells whether the job went through.
    if (preview.exec() != QDialog::Accepted)
        return saved;
    if (!paintError.isEmpty()) {
        ShowMessage(parent, WithReason(kPrintFailedText, paintError));
        return saved;
    }
    return true;
}

} // namespace davrenta

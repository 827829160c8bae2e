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
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/fonts.h"
#include "shell/messages.h"
#include "shell/windowkit.h"
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
    // The same dialog on every desktop, so that it fits a small screen as the windows do.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("PDF files (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    const QFileInfo where(offered.isEmpty() ? QStringLiteral("report.pdf") : offered);
    dialog.setDirectory(where.absolutePath());
    dialog.selectFile(where.fileName());
    KeepOnScreen(&dialog);
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

QIcon PreviewIcon(const char* name) {
    const QString theme = QString::fromLatin1(name);
    return QIcon::fromTheme(theme,
                            QIcon(QStringLiteral(":/qt-project.org/dialogs/qprintpreviewdialog/"
                                                 "images/") +
                                  theme + QStringLiteral("-24.png")));
}

// The report's pages as they will print, a few tools to look at them, and the two ways out that
// matter, "Print..." and "Save PDF...", as buttons along the foot that no toolbar can hide.
class PreviewWindow : public QDialog {
  public:
    PreviewWindow(QPrinter* printer, bool printerInstalled, const Report& report,
                  const QString& pdfPath, QWidget* parent)
        : QDialog(parent), printer_(printer), report_(report), pdfPath_(pdfPath) {
        SetUpWindow(this, QStringLiteral("printpreview"), QStringLiteral("Print Preview"));
        view = new QPrintPreviewWidget(printer, this);
        view->setObjectName(QStringLiteral("previewpages"));
        connect(view, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* target) {
            paintError.clear();
            PaintReport(report_, target, &paintError);
        });

        auto* tools = new QToolBar(this);
        tools->setObjectName(QStringLiteral("previewtools"));
        tools->setIconSize(QSize(20, 20));
        auto add = [&](const char* icon, const QString& text, auto slot) {
            QAction* action = tools->addAction(PreviewIcon(icon), text);
            action->setToolTip(PlainCaption(text));
            connect(action, &QAction::triggered, view, slot);
            return action;
        };
        add("zoom-out", QStringLiteral("Zoom out"), [this] { view->zoomOut(); });
        add("zoom-in", QStringLiteral("Zoom in"), [this] { view->zoomIn(); });
        add("fit-width", QStringLiteral("Fit width"), [this] { view->fitToWidth(); });
        add("fit-page", QStringLiteral("Whole page"), [this] { view->fitInView(); });
        tools->addSeparator();
        add("go-previous", QStringLiteral("Previous page"),
            [this] { view->setCurrentPage(view->currentPage() - 1); });
        add("go-next", QStringLiteral("Next page"),
            [this] { view->setCurrentPage(view->currentPage() + 1); });
        pagelbl = new QLabel(this);
        pagelbl->setObjectName(QStringLiteral("pagelbl"));
        pagelbl->setContentsMargins(6, 0, 6, 0);
        tools->addWidget(pagelbl);
        auto showPage = [this] {
            pagelbl->setText(
                QStringLiteral("Page %1 of %2").arg(view->currentPage()).arg(view->pageCount()));
        };
        connect(view, &QPrintPreviewWidget::previewChanged, this, showPage);

        printbut = MakeButton(this, QStringLiteral("printbut"), QStringLiteral("P&rint..."));
        savepdf = MakeButton(this, QStringLiteral("savepdf"), QStringLiteral("Save &PDF..."));
        closebut = MakeButton(this, QStringLiteral("closebut"), QStringLiteral("&Close"));
        savepdf->setToolTip(QStringLiteral("Save the report as a PDF file"));
        printbut->setEnabled(printerInstalled);
        printbut->setToolTip(printerInstalled
                                 ? QStringLiteral("Print the report on ") + printer->printerName()
                                 : QStringLiteral("No printer is installed"));
        (printerInstalled ? printbut : savepdf)->setDefault(true);
        connect(printbut, &QPushButton::clicked, this, &PreviewWindow::print);
        connect(savepdf, &QPushButton::clicked, this,
                [this] { saved = SavePdfFromPreview(this, report_, pdfPath_) || saved; });
        connect(closebut, &QPushButton::clicked, this, &QDialog::reject);

        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addWidget(tools);
        layout->addWidget(view, 1);
        layout->addLayout(ButtonRow({printbut, savepdf, closebut}));

        // Tall enough for a page on a desk; FitToScreen makes it smaller where it must.
        if (const QScreen* shown = screen()) {
            const QRect area = shown->availableGeometry();
            resize(std::min(area.width(), 820), area.height() * 9 / 10);
        }
    }

    QPrintPreviewWidget* view;
    QLabel* pagelbl;
    QPushButton* printbut;
    QPushButton* savepdf;
    QPushButton* closebut;
    QString paintError;
    bool saved = false;

  protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        // The whole page where the window is wide enough to read it so, else its width.
        if (width() >= 560)
            view->fitInView();
        else
            view->fitToWidth();
    }

  private:
    void print() {
        QPrintDialog choose(printer_, this);
        choose.setObjectName(QStringLiteral("printdlg"));
        KeepOnScreen(&choose);
        if (choose.exec() != QDialog::Accepted)
            return;
        view->print();
        accept();
    }

    QPrinter* printer_;
    const Report& report_;
    QString pdfPath_;
};

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

    PreviewWindow preview(printer.get(), installed, report, pdfPath, parent);
    // Printing paints into the printer once more; that last paint tells whether the job went
    // through.
    if (preview.exec() != QDialog::Accepted)
        return preview.saved;
    if (!preview.paintError.isEmpty()) {
        ShowMessage(parent, WithReason(kPrintFailedText, preview.paintError));
        return preview.saved;
    }
    return true;
}

} // namespace davrenta

#pragma once

#include <functional>
#include <string>

#include <QFont>
#include <QString>

#include "state/report.h"

class QPagedPaintDevice;
class QWidget;

namespace davrenta {

inline constexpr const char* kNoPrinterText =
    "No printer is installed. The report can still be saved as a PDF file with \"Save PDF...\" "
    "in the print preview.";
inline constexpr const char* kPrintFailedText = "The report could not be printed.";
inline constexpr const char* kPdfFailedText = "The PDF file could not be saved.";
inline constexpr const char* kPdfSavedText = "The report was saved as ";

// Prints a report as the study windows do: a print preview for the default printer, from which
// the user prints it or saves it as a PDF, offered as `pdfPath` ("report.pdf" in the current
// directory when empty); a saved PDF is confirmed in a message. Without any printer installed a
// message says so before the first preview of the session, and the PDF can still be saved. A
// failed job is reported in a message; nothing else changes. True when the report was printed
// or saved, false when the user closed the preview or the job failed.
bool PrintReport(QWidget* parent, const Report& report, const QString& pdfPath = QString());

// Test seam: while a sink is set, PrintReport hands it the report instead of showing the
// preview. A sink returns false (and may fill *error) to stand for a failed job. Returns the
// previous sink; an empty one restores the preview.
using PrintSink = std::function<bool(const Report& report, QString* error)>;
PrintSink SetPrintSink(PrintSink sink);

// The family a report's font name maps to: "courier" -> Courier New or Liberation Mono,
// "times new roman" -> Times New Roman or Liberation Serif, "fixedsys" -> the system's
// monospace font; "courier" and "fixedsys" fall back to another font verified fixed-pitch when
// those are missing or not of fixed pitch. Empty for an empty name (the printer's default).
QString ReportFontFamily(const std::string& fontName);

// The mapped font at the report's size (10 points when the report gives none).
QFont ReportFont(const Report& report);

// Paints every line of the report onto a printer or PDF writer, starting new pages as needed.
// Print column c stands at (c - 1) average character widths of the report font.
bool PaintReport(const Report& report, QPagedPaintDevice* device, QString* error);

// Paints the report into a PDF file (A4), replacing the file only when the whole document was
// written.
bool PaintReportToPdf(const Report& report, const QString& path, QString* error);

} // namespace davrenta

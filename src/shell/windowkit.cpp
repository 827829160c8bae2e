#include "shell/windowkit.h"

#include "shell/filefrm.h"

namespace davrenta {

QWidget* VisibleOwner(QWidget* window) {
    while (window && !window->isVisible())
        window = window->parentWidget();
    return window;
}

void HideForSuccessor(QDialog* window) {
    window->hide();
    window->setResult(QDialog::Accepted);
}

bool ChooseFileToSave(ShellState& state, QWidget* from) {
    state.SaveMode = ChooserMode::Write;
    OpenModal<filefrm>(state, from);
    return !state.ProblemFileName.empty();
}

void FitColumns(Grid* grid) {
    const QFontMetrics metrics(grid->font());
    const int padding = metrics.horizontalAdvance(QStringLiteral("MM"));
    for (int c = 0; c < grid->cols(); ++c) {
        int widest = 0;
        for (int r = 0; r < grid->rows(); ++r)
            widest = std::max(widest, metrics.horizontalAdvance(grid->textMatrix(r, c)));
        const int needed = widest + padding;
        if (grid->twipsToPixelsX(grid->colWidth(c)) < needed)
            grid->setColWidth(c, static_cast<int>(needed * 1440.0 / grid->logicalDpiX()) + 1);
    }
}

QString CellText(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string CellBytes(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace davrenta

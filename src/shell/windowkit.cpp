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

bool ChooseFileToSave(ModuleState& state, QWidget* from) {
    state.SaveMode = 1;
    OpenModal<filefrm>(state, from);
    return !state.ProblemFileName.empty();
}

QString CellText(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string CellBytes(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace davrenta

#include "shell/windowkit.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "shell/filefrm.h"
#include "shell/messages.h"
#include "state/atomicfile.h"

namespace davrenta {

namespace {

// Clamps the window to its screen each time it is shown; scroll areas and layouts inside take
// up the difference.
class ScreenFit : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            FitToScreen(static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

void FitToScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // Leave room for the frame the window manager draws around it.
    const QSize limit(std::max(200, area.width() - 16), std::max(150, area.height() - 48));
    window->setMaximumSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    const QSize wanted = window->size().boundedTo(limit);
    if (window->minimumWidth() > limit.width() || window->minimumHeight() > limit.height())
        window->setMinimumSize(window->minimumSize().boundedTo(limit));
    if (wanted != window->size())
        window->resize(wanted);
    QRect frame = window->frameGeometry();
    if (!area.contains(frame)) {
        frame.moveLeft(std::clamp(frame.left(), area.left(),
                                  std::max(area.left(), area.right() - frame.width())));
        frame.moveTop(std::clamp(frame.top(), area.top(),
                                 std::max(area.top(), area.bottom() - frame.height())));
        window->move(frame.topLeft());
    }
}

void KeepOnScreen(QWidget* window) {
    window->installEventFilter(new ScreenFit(window));
}

void SetUpWindow(QWidget* window, const QString& name, const QString& title) {
    window->setObjectName(name);
    window->setWindowTitle(title);
    window->setAccessibleName(title);
    if (auto* dialog = qobject_cast<QDialog*>(window))
        dialog->setSizeGripEnabled(true);
    KeepOnScreen(window);
}

void PageAndButtons(QWidget* window, QLayout* content, QLayout* buttons) {
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(ScrollingPage(window, content), 1);
    layout->addLayout(buttons);
}

int WidthOnScreen(const QWidget* window, int wanted) {
    const QScreen* screen = window->screen();
    if (!screen)
        return wanted;
    // The window's frame and margins, and a scroll bar beside a page that scrolls.
    return std::max(120, std::min(wanted, screen->availableGeometry().width() - 72));
}

QScrollArea* ScrollingPage(QWidget* window, QLayout* content) {
    // Asks for the content's own size, where a plain scroll area would ask for a small one.
    class Page : public QScrollArea {
      public:
        using QScrollArea::QScrollArea;
        QSize sizeHint() const override { return widget()->sizeHint(); }
    };
    // Made inside the window before it takes the content, so that the controls keep their
    // place in the window's tab order.
    auto* scroll = new Page(window);
    auto* page = new QWidget(scroll);
    content->setContentsMargins(0, 0, 0, 0);
    page->setLayout(content);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus); // focus and Tab go to the content's controls
    scroll->setWidgetResizable(true);
    scroll->setWidget(page);
    QSize least = page->minimumSizeHint();
    if (const QScreen* screen = window->screen())
        // Room for the window's frame, margins and a row of buttons below the page.
        least = least.boundedTo(screen->availableGeometry().size() - QSize(48, 140));
    scroll->setMinimumSize(least);
    return scroll;
}

QWidget* VisibleOwner(QWidget* window) {
    while (window && !window->isVisible())
        window = window->parentWidget();
    return window;
}

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : buttons)
        row->addWidget(button);
    return row;
}

QBoxLayout* ButtonRows(QWidget* window, const std::vector<QPushButton*>& buttons) {
    const auto spacing = [window](QStyle::PixelMetric metric) {
        const int pixels = window->style()->pixelMetric(metric);
        return pixels >= 0 ? pixels : 6;
    };
    const int gap = spacing(QStyle::PM_LayoutHorizontalSpacing);
    int room = QWIDGETSIZE_MAX;
    if (const QScreen* screen = window->screen())
        // The window's frame and margins, as FitToScreen leaves room for them.
        room = screen->availableGeometry().width() - 24 - 2 * spacing(QStyle::PM_LayoutLeftMargin);
    auto* rows = new QVBoxLayout;
    QHBoxLayout* row = nullptr;
    int used = 0;
    for (QPushButton* button : buttons) {
        const int width = button->sizeHint().width();
        if (!row || used + gap + width > room) {
            row = new QHBoxLayout;
            row->addStretch();
            rows->addLayout(row);
            used = -gap;
        }
        row->addWidget(button);
        used += gap + width;
    }
    return rows;
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

bool OpenProblemFile(ShellState& state, QWidget* from, const std::function<Status()>& read) {
    const std::string before = state.ProblemFileName;
    for (;;) {
        state.SaveMode = ChooserMode::Read;
        OpenModal<filefrm>(state, from);
        if (state.ProblemFileName.empty())
            break;
        const Status read_ = read();
        if (read_)
            return true;
        ShowMessage(VisibleOwner(from), read_.message());
        state.ChooserName =
            QFileInfo(QString::fromStdString(state.ProblemFileName)).fileName().toStdString();
    }
    state.ProblemFileName = before;
    return false;
}

bool SaveProblemAs(ShellState& state, QWidget* from, const std::function<Status()>& write) {
    const std::string before = state.ProblemFileName;
    if (!ChooseFileToSave(state, from)) {
        state.ProblemFileName = before;
        return false;
    }
    if (const Status written = write(); !written) {
        ShowMessage(VisibleOwner(from), written.message());
        state.ProblemFileName = before;
        return false;
    }
    ShowMessage(VisibleOwner(from), QStringLiteral("The problem was saved as ") +
                                        QString::fromStdString(ShownPath(state.ProblemFileName)) +
                                        QLatin1Char('.'));
    return true;
}

QString ReportPdfPath(const ShellState& state, const QString& reportName) {
    const QString pdf = reportName + QStringLiteral(".pdf");
    if (!state.ProblemFileName.empty()) {
        const QFileInfo problem(QString::fromStdString(state.ProblemFileName));
        return problem.dir().filePath(problem.completeBaseName() + QLatin1Char('-') + pdf);
    }
    const QString folder = state.ChooserFolder.empty()
                               ? QDir::currentPath()
                               : QString::fromStdString(state.ChooserFolder);
    return QDir(folder).filePath(QStringLiteral("untitled-") + pdf);
}

void FitColumns(Grid* grid) {
    const QFontMetrics metrics(grid->font());
    const int padding = metrics.horizontalAdvance(QStringLiteral("MM"));
    for (int c = 0; c < grid->cols(); ++c) {
        int widest = 0;
        for (int r = 0; r < grid->rows(); ++r)
            widest = std::max(widest, metrics.horizontalAdvance(grid->textMatrix(r, c)));
        WidenColumn(grid, c, widest + padding);
    }
}

void WidenColumn(Grid* grid, int col, int pixels) {
    if (grid->twipsToPixelsX(grid->colWidth(col)) < pixels)
        grid->setColWidth(col, static_cast<int>(pixels * 1440.0 / grid->logicalDpiX()) + 1);
}

QString CellText(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string CellBytes(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace davrenta

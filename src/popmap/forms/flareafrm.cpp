#include "popmap/forms/flareafrm.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "popmap/forms/flinputfrm.h"
#include "popmap/forms/flpopfrm.h"
#include "popmap/forms/flresultfrm.h"
#include "popmap/forms/flservfrm.h"
#include "popmap/forms/mapcolours.h"
#include "popmap/forms/mapsave.h"
#include "popmap/forms/movemapfrm.h"
#include "popmap/reports.h"
#include "popmap/results.h"
#include "popmap/sequence.h"
#include "popmap/texts.h"
#include "shell/controls.h"
#include "shell/exporter.h"
#include "shell/fonts.h"
#include "shell/grid.h"
#include "shell/messages.h"
#include "shell/printing.h"
#include "shell/windowkit.h"

namespace davrenta {

namespace {

// The legend as rich text, an entry a line: each mark on its colour, then its meaning, which
// wraps under a narrow column.
QString LegendHtml(const std::vector<LegendEntry>& entries, const QString& family) {
    QStringList parts;
    for (const LegendEntry& e : entries) {
        const QString mark = e.mark.isEmpty() ? QStringLiteral("&nbsp;") : e.mark.toHtmlEscaped();
        parts << QStringLiteral("<span style=\"background-color:%1; color:%2; font-family:'%3'\">"
                                "&nbsp;%4&nbsp;</span>&nbsp;%5")
                     .arg(e.colour.back.name(), e.colour.fore.name(), family, mark,
                          e.meaning.toHtmlEscaped());
    }
    return parts.join(QStringLiteral("<br>"));
}

// The same for screen readers and tests: "a: served by POD 1; X: new POD".
QString LegendText(const std::vector<LegendEntry>& entries) {
    QStringList parts;
    for (const LegendEntry& e : entries)
        parts << (e.mark.isEmpty() ? e.meaning : e.mark + QStringLiteral(": ") + e.meaning);
    return parts.join(QStringLiteral("; "));
}

} // namespace

flareafrm::flareafrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("flareafrm"), QString::fromStdString(MapCaption(state_.fl)));

    flareagrd = new Grid(this);
    NameControl(flareagrd, QStringLiteral("flareagrd"), QStringLiteral("Map"));
    flareagrd->setFont(MapFont());
    Label1 = MakeLabel(this, QStringLiteral("Label1"));
    legendlbl = MakeLabel(this, QStringLiteral("legendlbl"));
    legendlbl->setAccessibleName(QStringLiteral("Legend"));
    legendlbl->setTextFormat(Qt::RichText);
    legendlbl->setWordWrap(true);
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    editbut = MakeButton(this, QStringLiteral("editbut"), QStringLiteral("&Edit"));
    prtbut = MakeButton(this, QStringLiteral("prtbut"), QStringLiteral("&Print"));
    Savebut = MakeButton(this, QStringLiteral("Savebut"), QStringLiteral("&Save"));
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    cancelbut = MakeButton(this, QStringLiteral("cancelbut"), QStringLiteral("&Cancel"));
    cancelbut->hide();
    movebut = MakeButton(this, QStringLiteral("movebut"), QStringLiteral("&Move PODs"));
    okbut->setDefault(true);

    // The legend in a column beside the map, scrolling when it is long, so that the map keeps
    // most of the window however many PODs the legend lists.
    legendarea = new QScrollArea(this);
    legendarea->setObjectName(QStringLiteral("legendarea"));
    legendarea->setWidget(legendlbl);
    legendarea->setWidgetResizable(true);
    legendarea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    legendarea->setFrameShape(QFrame::NoFrame);
    legendarea->setFocusPolicy(Qt::NoFocus);
    legendlbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setWordWrap(true);

    auto* body = new QHBoxLayout;
    body->addWidget(flareagrd, 3);
    body->addWidget(legendarea, 1);
    QPushButton* exportbut = AddExportButton(
        prtbut, state_, {MapExport(QStringLiteral("service area map"), flareagrd, legendlbl)});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(Label1);
    layout->addLayout(ButtonRows(
        this, {cancelbut, movebut, backbut, editbut, prtbut, exportbut, Savebut, okbut}));

    connect(backbut, &QPushButton::clicked, this, &flareafrm::backbut_Click);
    connect(editbut, &QPushButton::clicked, this, &flareafrm::editbut_Click);
    connect(prtbut, &QPushButton::clicked, this, &flareafrm::prtbut_Click);
    connect(Savebut, &QPushButton::clicked, this, &flareafrm::Savebut_Click);
    connect(okbut, &QPushButton::clicked, this, &flareafrm::okbut_Click);
    connect(cancelbut, &QPushButton::clicked, this, &flareafrm::cancelbut_Click);
    connect(movebut, &QPushButton::clicked, this, &flareafrm::movebut_Click);

    PopMap& fl = state_.fl;
    const QString kept = QString::fromStdString(KeptProgressText(fl));
    if (!kept.isEmpty())
        Label1->setText(kept);
    Savebut->setVisible(fl.maptype == MapType::NearOptimal);
    // Either service map: on the existing PODs' one only those move (movemapfrm sees which).
    movebut->setVisible(fl.maptype == MapType::NewService ||
                        (fl.maptype == MapType::ExistingService && fl.ExistingPodCount > 0));
    Label1->setVisible(fl.maptype == MapType::Input);
    showMap();
    const std::vector<LegendEntry> legend = MapColours(fl).legend();
    legendlbl->setText(LegendHtml(legend, flareagrd->font().family()));
    legendlbl->setAccessibleDescription(LegendText(legend));
    legendlbl->setVisible(!legend.empty());
    legendarea->setVisible(!legend.empty());
    // The whole map's width and the legend's column beside it, where the screen has room.
    resize((flareagrd->twipsToPixelsX(255) * 62 + 60) * 4 / 3, 720);
}

void flareafrm::showMap() {
    PopMap& fl = state_.fl;
    flareagrd->setFixedRows(1);
    flareagrd->setFixedCols(1);
    flareagrd->setRows(kMapLines + 1);
    flareagrd->setCols(kMapColumns + 1);
    for (int c = 0; c <= kMapColumns; ++c)
        flareagrd->setColWidth(c, 255);
    for (int j = 1; j <= kMapColumns; ++j)
        flareagrd->setTextMatrix(0, j, QString::number(j));
    TakeLineLengths(fl);
    const MapColours colours(fl);
    for (int i = 1; i <= kMapLines; ++i) {
        flareagrd->setTextMatrix(i, 0, QString::number(i));
        const std::string& shown = ShownMapLine(fl, i);
        const int cells = std::min(fl.MapLineLength[i], kMapColumns);
        for (int j = 1; j <= cells; ++j) {
            const char c = CellChar(shown, j);
            if (c == '\0')
                continue;
            flareagrd->setTextMatrix(i, j, CellText(std::string(1, c)));
            if (const auto colour = colours.background(i, j, c)) {
                flareagrd->setCellBackColor(i, j, colour->back);
                flareagrd->setCellForeColor(i, j, colour->fore);
            }
        }
    }
}

void flareafrm::resizeEvent(QResizeEvent* event) {
    // The legend never takes more than a quarter of the width: the map keeps the rest.
    legendarea->setMaximumWidth(std::max(1, event->size().width() / 4));
    QDialog::resizeEvent(event);
}

void flareafrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Once the window has its final size: bring the located POD(s) into view.
    QTimer::singleShot(0, this, [this] { scrollToNewPods(); });
}

void flareafrm::scrollToNewPods() {
    const std::vector<std::pair<int, int>> cells = MapColours(state_.fl).newPodCells();
    if (cells.empty())
        return;
    // Map line i, column j is table cell (i - 1, j - 1) below and right of the headings.
    auto index = [this](int line, int column) {
        return flareagrd->model()->index(std::clamp(line, 1, kMapLines) - 1,
                                         std::clamp(column, 1, kMapColumns) - 1);
    };
    const auto [firstLine, firstColumn] = cells.front();
    const auto [lastLine, lastColumn] = cells.back();
    flareagrd->scrollTo(index((firstLine + lastLine) / 2, (firstColumn + lastColumn) / 2),
                        QAbstractItemView::PositionAtCenter);
    for (const auto& [line, column] : cells)
        flareagrd->scrollTo(index(line, column), QAbstractItemView::EnsureVisible);
}

void flareafrm::backbut_Click() {
    accept();
}

void flareafrm::editbut_Click() {
    HideForSuccessor(this);
    OpenModal<flinputfrm>(state_, this);
    accept();
}

void flareafrm::prtbut_Click() {
    PrintReport(this, MapReport(state_.fl),
                ReportPdfPath(state_, QString::fromLatin1(MapReportName(state_.fl.maptype))));
}

void flareafrm::Savebut_Click() {
    ShowMessage(this, AreaCountMessage(state_.fl.AreaCount));
    ShowMessage(this, PodCountMessage(state_.fl.ExistingPodCount));
    SaveMapProblem(state_, this);
}

SearchOutcome flareafrm::search() {
    searching_ = true;
    cancel_ = false;
    closeAfterSearch_ = false;
    for (QPushButton* b : {backbut, editbut, prtbut, Savebut, okbut})
        b->setEnabled(false);
    cancelbut->show();
    cancelbut->setEnabled(true);
    cancelbut->setFocus();
    Label1->setText(QString::fromStdString(ProgressText(0, 1)));
    QApplication::setOverrideCursor(Qt::WaitCursor);

    SearchControl control;
    control.cancel = &cancel_;
    QPointer<QLabel> label = Label1;
    control.progress = [label](int done, int total) {
        const QString text = QString::fromStdString(ProgressText(done, total));
        QMetaObject::invokeMethod(
            label,
            [label, text] {
                if (label)
                    label->setText(text);
            },
            Qt::QueuedConnection);
    };

    ModuleState& state = state_;
    // Several new PODs: the best value, the proven bound and their gap as the search goes. The
    // text is made on the searching thread, which owns the state until the search ends.
    control.timeLimit = state.fl.SearchTimeLimit;
    control.bounds = [label, &state](const SetProgress& progress) {
        const QString text = QString::fromStdString(SetProgressText(state.fl, progress));
        QMetaObject::invokeMethod(
            label,
            [label, text] {
                if (label)
                    label->setText(text);
            },
            Qt::QueuedConnection);
    };

    QFutureWatcher<SearchOutcome> watcher;
    QEventLoop loop;
    connect(&watcher, &QFutureWatcher<SearchOutcome>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([&state, control] { return RunSearch(state, control); }));
    if (!watcher.isFinished())
        loop.exec();
    const SearchOutcome outcome = watcher.result();

    QApplication::restoreOverrideCursor();
    cancelbut->hide();
    for (QPushButton* b : {backbut, editbut, prtbut, Savebut, okbut})
        b->setEnabled(true);
    searching_ = false;
    return outcome;
}

void flareafrm::okbut_Click() {
    PopMap& fl = state_.fl;
    switch (MapScreenOk(fl)) {
    case NextWindow::Search: {
        const SearchOutcome outcome = search();
        if (outcome.status == SearchStatus::Cancelled && !closeAfterSearch_) {
            // Back to the input map as it was, ready to run again.
            showMap();
            Label1->setText(QString::fromLatin1(kSearchCancelledText));
            okbut->setFocus();
            return;
        }
        if (outcome.status == SearchStatus::Failed) {
            ShowMessage(this, CellText(outcome.message));
            // Populations that sum to nothing are entered again, the other choices kept.
            if (!(fl.TotalPopulation != 0) || !std::isfinite(fl.TotalPopulation)) {
                HideForSuccessor(this);
                OpenModal<flinputfrm>(state_, this);
                accept();
                return;
            }
        }
        HideForSuccessor(this);
        if (fl.SearchResultFlag)
            OpenModal<flresultfrm>(state_, this);
        break;
    }
    case NextWindow::Distribution:
        HideForSuccessor(this);
        OpenModal<flpopfrm>(state_, this);
        OpenModal<flareafrm>(state_, this);
        break;
    case NextWindow::Results:
        HideForSuccessor(this);
        OpenModal<flservfrm>(state_, this);
        break;
    case NextWindow::None:
    case NextWindow::Map:
    case NextWindow::Unknown:
        HideForSuccessor(this);
        ShowMessage(this, QStringLiteral("maptype=") + QString::number(MapTypeCode(fl.maptype)));
        break;
    }
    accept();
}

void flareafrm::movebut_Click() {
    OpenModal<movemapfrm>(state_, this);
}

void flareafrm::cancelbut_Click() {
    cancel_ = true;
}

void flareafrm::closeEvent(QCloseEvent* event) {
    // The search owns the state until it stops: closing asks it to stop first.
    if (searching_) {
        cancel_ = true;
        closeAfterSearch_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void flareafrm::reject() {
    if (searching_) {
        cancel_ = true;
        return;
    }
    QDialog::reject();
}

} // namespace davrenta

#include "popmap/forms/movemapfrm.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/forms/mapcolours.h"
#include "popmap/forms/mapsave.h"
#include "popmap/mapfile.h"
#include "popmap/sequence.h"
#include "shell/controls.h"
#include "shell/fonts.h"
#include "shell/grid.h"
#include "shell/messages.h"
#include "shell/windowkit.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

const QColor kExistingBack(40, 40, 40);
const QColor kNewBack(200, 30, 45);

// Good to bad on the surface's scale: green through yellow to red.
QColor ScaleColour(double t) {
    return QColor::fromHsv(static_cast<int>(std::lround(120 * (1 - std::clamp(t, 0.0, 1.0)))), 150,
                           245);
}

QString Swatch(const QColor& back, const QColor& fore, const QString& mark) {
    return QStringLiteral("<span style=\"background-color:%1; color:%2\">&nbsp;%3&nbsp;</span>")
        .arg(back.name(), fore.name(),
             mark.isEmpty() ? QStringLiteral("&nbsp;") : mark.toHtmlEscaped());
}

// A value of the surface's scale to three decimals, as plainly as it goes.
std::string ScaleText(double v) {
    return PlainForm(std::round(v * 1000) / 1000);
}

const char* MeasureWords(Measure m) {
    switch (m) {
    case Measure::MaximumServed:
        return "population served";
    case Measure::MinimizeMaxDistance:
        return "largest distance";
    default:
        return "total travel";
    }
}

} // namespace

movemapfrm::movemapfrm(ModuleState& state, QWidget* parent)
    : QDialog(parent), state_(state), problem_(state),
      existingOnly_(state.fl.maptype == MapType::ExistingService) {
    SetUpWindow(this, QStringLiteral("movemapfrm"),
                existingOnly_ ? QStringLiteral("Move the existing PODs")
                              : QStringLiteral("Move the PODs"));

    hintlbl = MakeLabel(this, QStringLiteral("hintlbl"),
                        QStringLiteral("Choose a POD and move it with the arrow keys, or drag "
                                       "it on the map."));
    podbox = new QComboBox(this);
    NameControl(podbox, QStringLiteral("podbox"), QStringLiteral("POD to move"));
    podbox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    mapgrd = new Grid(this);
    NameControl(mapgrd, QStringLiteral("mapgrd"), QStringLiteral("Map"));
    mapgrd->setFont(MapFont());
    legendlbl = MakeLabel(this, QStringLiteral("legendlbl"));
    legendlbl->setAccessibleName(QStringLiteral("Legend"));
    legendlbl->setTextFormat(Qt::RichText);
    legendlbl->setWordWrap(true);
    surfacelbl = MakeLabel(this, QStringLiteral("surfacelbl"));
    surfacelbl->setAccessibleName(QStringLiteral("Surface scale"));
    surfacelbl->setTextFormat(Qt::RichText);
    surfacelbl->setWordWrap(true);
    floclbl = MakeLabel(this, QStringLiteral("floclbl"));
    coordlbl = MakeLabel(this, QStringLiteral("coordlbl"));
    figureslbl = MakeLabel(this, QStringLiteral("figureslbl"));
    changelbl = MakeLabel(this, QStringLiteral("changelbl"));
    priorlbl = MakeLabel(this, QStringLiteral("priorlbl"));
    priorlbl->setAccessibleName(QStringLiteral("The existing PODs alone"));
    facgrd = new Grid(this);
    NameControl(facgrd, QStringLiteral("facgrd"),
                QStringLiteral("PODs and the population each serves"));
    facgrd->setFixedRows(1);
    facgrd->setFixedCols(0);
    areabox = new QComboBox(this);
    NameControl(areabox, QStringLiteral("areabox"), QStringLiteral("Area"));
    poptxt = new QLineEdit(this);
    NameControl(poptxt, QStringLiteral("poptxt"), QStringLiteral("Population of the area"));
    popbut = MakeButton(this, QStringLiteral("popbut"), QStringLiteral("Set &population"));
    auto* arealbl = MakeLabel(this, QStringLiteral("arealbl"), QStringLiteral("&Area"));
    arealbl->setBuddy(areabox);
    // Room for a population of ten figures, however little the screen has.
    const int digit = poptxt->fontMetrics().horizontalAdvance(QStringLiteral("0"));
    poptxt->setMinimumWidth(digit * 10);
    poptxt->setMaximumWidth(digit * 12);
    for (QLabel* l : {floclbl, coordlbl, figureslbl, changelbl, priorlbl})
        l->setWordWrap(true);
    QFont bold = changelbl->font();
    bold.setBold(true);
    changelbl->setFont(bold);
    floclbl->setFont(bold);
    surfacechk = new QCheckBox(QStringLiteral("Show the &surface"), this);
    NameControl(surfacechk, QStringLiteral("surfacechk"), QStringLiteral("Show the surface"));
    followchk = new QCheckBox(QStringLiteral("&Follow with the best new POD"), this);
    NameControl(followchk, QStringLiteral("followchk"),
                QStringLiteral("Follow with the best new POD"));
    optimumbut =
        MakeButton(this, QStringLiteral("optimumbut"), QStringLiteral("Back to the &optimum"));
    Savebut = MakeButton(this, QStringLiteral("Savebut"), QStringLiteral("&Save"));
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));

    // The choices on one line above the map, the hint above them, so that the figures and the
    // table keep the height beside the map. On a small or highly scaled screen the window
    // scrolls rather than squeezing the figures' lines or the table to nothing.
    hintlbl->setWordWrap(true);
    auto* choose = new QHBoxLayout;
    choose->addWidget(podbox);
    choose->addSpacing(12);
    choose->addWidget(arealbl);
    choose->addWidget(areabox);
    choose->addWidget(poptxt);
    choose->addWidget(popbut);
    choose->addStretch();
    auto* figures = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(floclbl), static_cast<QWidget*>(coordlbl),
                       static_cast<QWidget*>(figureslbl), static_cast<QWidget*>(changelbl),
                       static_cast<QWidget*>(priorlbl)})
        figures->addWidget(w);
    figures->addWidget(facgrd, 1);
    figures->addWidget(surfacechk);
    figures->addWidget(followchk);
    // The table keeps a few rows in view.
    const int row = facgrd->fontMetrics().height() + 8;
    facgrd->setMinimumHeight(5 * row + 2 * facgrd->frameWidth());
    auto* body = new QHBoxLayout;
    body->addWidget(mapgrd, 3);
    body->addLayout(figures, 2);
    auto* content = new QVBoxLayout;
    content->addWidget(hintlbl);
    content->addLayout(choose);
    content->addLayout(body, 1);
    content->addWidget(legendlbl);
    content->addWidget(surfacelbl);
    PageAndButtons(this, content, ButtonRow({optimumbut, Savebut, okbut}));
    // The page takes the controls after the buttons were made; Tab still goes through them
    // before the buttons.
    QWidget* previous = podbox;
    for (QWidget* w : {static_cast<QWidget*>(areabox), static_cast<QWidget*>(poptxt),
                       static_cast<QWidget*>(popbut), static_cast<QWidget*>(mapgrd),
                       static_cast<QWidget*>(facgrd), static_cast<QWidget*>(surfacechk),
                       static_cast<QWidget*>(followchk), static_cast<QWidget*>(optimumbut),
                       static_cast<QWidget*>(Savebut), static_cast<QWidget*>(okbut)}) {
        setTabOrder(previous, w);
        previous = w;
    }

    connect(optimumbut, &QPushButton::clicked, this, &movemapfrm::optimumbut_Click);
    connect(Savebut, &QPushButton::clicked, this, &movemapfrm::Savebut_Click);
    connect(okbut, &QPushButton::clicked, this, &movemapfrm::okbut_Click);
    connect(popbut, &QPushButton::clicked, this, [this] { (void)popbut_Click(); });
    connect(areabox, &QComboBox::currentIndexChanged, this, [this] { showArea(); });
    connect(surfacechk, &QCheckBox::toggled, this, [this](bool on) {
        // Nothing laid out (the window refused its result): no surface to show.
        if (!layout_)
            return;
        if (on && !surface_)
            surface_ = layout_->SurfaceNow(problem_.fl.PerformanceMeasure);
        showMap();
        showLegend();
    });
    poptxt->installEventFilter(this);
    mapgrd->installEventFilter(this);
    mapgrd->viewport()->installEventFilter(this);
    mapgrd->viewport()->setMouseTracking(false);

    mapgrd->setFixedRows(1);
    mapgrd->setFixedCols(1);
    mapgrd->setRows(kMapLines + 1);
    mapgrd->setCols(kMapColumns + 1);
    for (int c = 0; c <= kMapColumns; ++c)
        mapgrd->setColWidth(c, 255);
    for (int j = 1; j <= kMapColumns; ++j)
        mapgrd->setTextMatrix(0, j, QString::number(j));
    for (int i = 1; i <= kMapLines; ++i)
        mapgrd->setTextMatrix(i, 0, QString::number(i));
    if (existingOnly_) {
        // The map before the new POD: it neither serves nor moves here.
        coordlbl->hide();
        figureslbl->hide();
        followchk->hide();
        optimumbut->setText(QStringLiteral("Put them &back"));
    }
    start();
    okbut->setDefault(true);
    mapgrd->setFocus();
    resize(mapgrd->twipsToPixelsX(255) * 62 + 520, 760);
}

void movemapfrm::start() {
    // Afresh from the study: the search's layout and the problem's own populations.
    problem_ = state_;
    const PopMap& fl = problem_.fl;
    std::vector<std::pair<int, int>> fresh;
    if (!existingOnly_) {
        fresh = NewPodCells(fl);
        // A search in which no cell wins leaves its new POD nowhere (cell 0, 0).
        for (const auto& [line, column] : fresh)
            if (line == 0 || column == 0) {
                refuse(QStringLiteral("The search placed no new POD: no cell improves on the "
                                      "existing PODs under this measure, so there is nothing "
                                      "to move."));
                return;
            }
    }
    Result<MovingLayout> layout = MovingLayout::Start(problem_, fresh);
    if (!layout) {
        refuse(CellText(layout.message()));
        return;
    }
    layout_.emplace(std::move(*layout));
    optimumFigures_ = layout_->Figures();
    optimum_.emplace(std::move(*MovingLayout::Start(problem_, fresh)));
    surface_.reset();
    const int n = layout_->ExistingPods();
    if (podbox->count() != layout_->Pods()) {
        podbox->clear();
        for (int q = 1; q <= layout_->Pods(); ++q)
            podbox->addItem(
                q <= n
                    ? QStringLiteral("POD %1 (%2)").arg(q).arg(QChar::fromLatin1(layout_->Label(q)))
                    : QStringLiteral("New POD %1 (%2)")
                          .arg(q - n)
                          .arg(QChar::fromLatin1(layout_->Label(q))));
        // The (last) new POD; on the existing PODs' map the first POD.
        podbox->setCurrentIndex(existingOnly_ ? 0 : layout_->Pods() - 1);
        // Never narrower than its longest name: the page scrolls instead.
        podbox->setMinimumWidth(podbox->sizeHint().width());
    }
    // Live re-optimisation answers for one new POD beside existing ones.
    followchk->setEnabled(n > 0 && layout_->Pods() == n + 1);
    if (areabox->count() != fl.AreaCount) {
        areabox->clear();
        for (int a = 1; a <= fl.AreaCount; ++a)
            areabox->addItem(CellText(fl.AreaSymbol[a]));
    }
    showArea();
    if (surfacechk->isChecked())
        surface_ = layout_->SurfaceNow(fl.PerformanceMeasure);
    shown_.assign(kMapLines + 1, std::string());
    backs_.assign(kMapLines + 1, std::vector<QColor>(kMapColumns + 1));
    showMap();
    showFigures();
    showLegend();
}

void movemapfrm::refuse(const QString& message) {
    layout_.reset();
    optimum_.reset();
    surface_.reset();
    ShowMessage(this, message);
    // Only Ok is left: nothing here has a layout to act on.
    hintlbl->setText(QStringLiteral("Nothing to move on this map."));
    for (QWidget* w : {static_cast<QWidget*>(podbox), static_cast<QWidget*>(surfacechk),
                       static_cast<QWidget*>(followchk), static_cast<QWidget*>(optimumbut),
                       static_cast<QWidget*>(Savebut), static_cast<QWidget*>(areabox),
                       static_cast<QWidget*>(poptxt), static_cast<QWidget*>(popbut),
                       static_cast<QWidget*>(facgrd), static_cast<QWidget*>(priorlbl)})
        w->hide();
    if (QWidget* label = findChild<QLabel*>(QStringLiteral("arealbl")))
        label->hide();
    legendlbl->clear();
    surfacelbl->hide();
    okbut->setFocus();
}

void movemapfrm::showArea() {
    const int area = areabox->currentIndex() + 1;
    if (area < 1 || area > problem_.fl.AreaCount)
        return;
    poptxt->setText(QString::fromStdString(PlainForm(problem_.fl.AreaPopulation[area])));
}

Measure movemapfrm::shownMeasure() const {
    // Without the new PODs nothing is served by them: the change is in travel then.
    const Measure measure = problem_.fl.PerformanceMeasure;
    if (existingOnly_ && measure == Measure::MaximumServed)
        return Measure::MinimizeTravel;
    return measure;
}

int movemapfrm::chosenPod() const {
    return podbox->currentIndex() + 1;
}

int movemapfrm::podAt(int line, int column) const {
    if (!layout_)
        return 0;
    for (int q = layout_->Pods(); q >= 1; --q)
        if (layout_->Cell(q) == std::pair{line, column})
            return q;
    return 0;
}

bool movemapfrm::StepPod(int pod, int dLine, int dColumn) {
    if (!layout_ || !layout_->Step(pod, dLine, dColumn))
        return false;
    afterMove(pod);
    return true;
}

bool movemapfrm::MovePodTo(int pod, int line, int column) {
    if (!layout_ || !layout_->MoveTo(pod, line, column))
        return false;
    afterMove(pod);
    return true;
}

void movemapfrm::afterMove(int pod) {
    if (pod <= layout_->ExistingPods())
        followTheLayout();
    showMap();
    showFigures();
    if (surfacechk->isChecked())
        showLegend();
}

void movemapfrm::followTheLayout() {
    const Measure measure = problem_.fl.PerformanceMeasure;
    if (followchk->isEnabled() && followchk->isChecked() && !existingOnly_)
        (void)layout_->Reoptimise(measure);
    if (surfacechk->isChecked())
        surface_ = layout_->SurfaceNow(measure);
    else
        surface_.reset();
}

bool movemapfrm::popbut_Click() {
    if (!layout_)
        return false;
    const int area = areabox->currentIndex() + 1;
    if (Status edited = EditAreaPopulation(problem_, area, CellBytes(poptxt->text())); !edited) {
        ShowMessage(this, CellText(edited.message()));
        showArea();
        poptxt->setFocus();
        poptxt->selectAll();
        return false;
    }
    layout_->TakePopulations(problem_.fl);
    // The change stays against the search's layout, under the same populations.
    optimum_->TakePopulations(problem_.fl);
    optimumFigures_ = optimum_->Figures();
    followTheLayout();
    showArea();
    showMap();
    showFigures();
    showLegend();
    return true;
}

void movemapfrm::showMap() {
    if (!layout_)
        return;
    const PopMap& fl = problem_.fl;
    Table1<std::string, kMapLines> map;
    if (existingOnly_)
        layout_->ExistingServiceMap(map, true);
    else
        layout_->ServiceMap(map, true);
    const auto isArea = AreaCharacters(fl);
    const int n = layout_->ExistingPods();
    std::array<int, 256> slotOf{};
    for (int q = layout_->Pods(); q >= 1; --q)
        slotOf[static_cast<unsigned char>(layout_->Label(q))] = q;

    // The surface's scale: its best value green, its worst red, over the finite values.
    const Measure measure = fl.PerformanceMeasure;
    double low = 0, high = 0;
    const bool surface = surfacechk->isChecked() && surface_;
    if (surface) {
        bool any = false;
        for (int i = 1; i <= LastMapLine(fl); ++i)
            for (int j = 1; j <= CellsInLine(fl, i); ++j) {
                const double v = surface_->Value(measure, i, j);
                if (!std::isfinite(v))
                    continue;
                low = any ? std::min(low, v) : v;
                high = any ? std::max(high, v) : v;
                any = true;
            }
    }
    const int last = LastMapLine(fl);
    for (int i = 1; i <= kMapLines; ++i) {
        const std::string line = i <= last ? map[i] : std::string();
        const int cells = std::min(static_cast<int>(line.size()), kMapColumns);
        for (int j = 1; j <= kMapColumns; ++j) {
            const char c = j <= cells ? line[static_cast<std::size_t>(j - 1)] : '\0';
            QColor back;
            QColor fore(Qt::black);
            if (c != '\0') {
                if (c == 'x' && podAt(i, j) > 0 && podAt(i, j) <= n) {
                    back = kExistingBack;
                    fore = Qt::white;
                } else if (c == 'X' && podAt(i, j) > n) {
                    back = kNewBack;
                    fore = Qt::white;
                } else if (surface && j <= CellsInLine(fl, i)) {
                    const double v = surface_->Value(measure, i, j);
                    const double t = high > low ? (v - low) / (high - low) : 0;
                    back = ScaleColour(measure == Measure::MaximumServed ? 1 - t : t);
                } else if (isArea[static_cast<unsigned char>(CellChar(fl.MapLine[i], j))]) {
                    if (const int k = slotOf[static_cast<unsigned char>(c)]; k != 0)
                        back = MapColours::podTint(k);
                }
                // A POD without the marks (none existing) still shows where it stands.
                if (n == 0 && podAt(i, j) > 0) {
                    back = kNewBack;
                    fore = Qt::white;
                }
            }
            // Only what changed is written: a step repaints a few cells, not the map.
            std::string& was = shown_[static_cast<std::size_t>(i)];
            if (was.size() < static_cast<std::size_t>(kMapColumns))
                was.resize(kMapColumns, '\0');
            QColor& wasBack = backs_[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
            if (was[static_cast<std::size_t>(j - 1)] == c && wasBack == back)
                continue;
            was[static_cast<std::size_t>(j - 1)] = c;
            wasBack = back;
            mapgrd->setTextMatrix(i, j, c == '\0' ? QString() : CellText(std::string(1, c)));
            mapgrd->setCellBackColor(i, j, back.isValid() ? back : QColor(Qt::white));
            mapgrd->setCellForeColor(i, j, fore);
        }
    }
}

void movemapfrm::showFigures() {
    if (!layout_)
        return;
    const PopMap& fl = problem_.fl;
    const LayoutTexts t = TextsOf(*layout_, fl.TotalPopulation, problem_.DistanceMethod, '\n');
    floclbl->setText(CellText(t.floclbl));
    coordlbl->setText(CellText(t.coordinates));
    figureslbl->setText(CellText(t.figures));
    priorlbl->setText(CellText(t.prior));
    priorlbl->setVisible(!t.prior.empty());
    const std::string change = ChangeText(shownMeasure(), layout_->Figures(), optimumFigures_);
    if (existingOnly_)
        changelbl->setText(change.empty()
                               ? QStringLiteral("Where the problem has them")
                               : CellText(change) + QStringLiteral(" against where they stood"));
    else
        changelbl->setText(change.empty()
                               ? QStringLiteral("At the search's optimum")
                               : CellText(change) + QStringLiteral(" against the optimum"));
    // Beside the new layout, what each existing POD serves alone (the existing PODs' map).
    FillGrid(facgrd, t.facgrd);
    if (!existingOnly_ && !t.priorServed.empty()) {
        facgrd->setCols(5);
        for (std::size_t r = 0; r < t.priorServed.size(); ++r)
            facgrd->setTextMatrix(static_cast<int>(r), 4, CellText(t.priorServed[r]));
    }
    FitColumns(facgrd);
}

void movemapfrm::showLegend() {
    if (!layout_)
        return;
    const int n = layout_->ExistingPods();
    QStringList parts;
    QStringList plain;
    for (int q = 1; q <= layout_->Pods(); ++q) {
        const QString mark = QChar::fromLatin1(layout_->Label(q));
        const QString whose =
            q <= n ? QStringLiteral("POD %1").arg(q) : QStringLiteral("new POD %1").arg(q - n);
        parts << Swatch(MapColours::podTint(q), Qt::black, mark) +
                     QStringLiteral("&nbsp;served by ") + whose;
        plain << mark + QStringLiteral(": served by ") + whose;
    }
    if (n > 0) {
        parts << Swatch(kExistingBack, Qt::white, QStringLiteral("x")) +
                     QStringLiteral("&nbsp;existing POD");
        plain << QStringLiteral("x: existing POD");
        if (layout_->Pods() > n) {
            parts << Swatch(kNewBack, Qt::white, QStringLiteral("X")) +
                         QStringLiteral("&nbsp;new POD");
            plain << QStringLiteral("X: new POD");
        }
    }
    legendlbl->setText(parts.join(QStringLiteral(" &nbsp; ")));
    legendlbl->setAccessibleDescription(plain.join(QStringLiteral("; ")));
    legendlbl->setVisible(!surfacechk->isChecked());

    const bool surface = surfacechk->isChecked() && surface_;
    surfacelbl->setVisible(surface);
    if (!surface)
        return;
    const PopMap& fl = problem_.fl;
    const Measure measure = fl.PerformanceMeasure;
    double low = 0, high = 0;
    bool any = false;
    for (int i = 1; i <= LastMapLine(fl); ++i)
        for (int j = 1; j <= CellsInLine(fl, i); ++j) {
            const double v = surface_->Value(measure, i, j);
            if (!std::isfinite(v))
                continue;
            low = any ? std::min(low, v) : v;
            high = any ? std::max(high, v) : v;
            any = true;
        }
    const bool maximise = measure == Measure::MaximumServed;
    const double best = maximise ? high : low;
    const double worst = maximise ? low : high;
    QString scale = QStringLiteral("One new POD at each cell, its %1: ")
                        .arg(QString::fromLatin1(MeasureWords(measure)));
    QString text = scale;
    for (int s = 0; s <= 4; ++s) {
        const double t = s / 4.0;
        const double v = best + t * (worst - best);
        scale += Swatch(ScaleColour(t), Qt::black, QString()) + QStringLiteral("&nbsp;") +
                 QString::fromStdString(ScaleText(v)) + QStringLiteral(" &nbsp; ");
    }
    if (surface_->best) {
        const QString where = QStringLiteral("best cell (x,y)= %1, %2")
                                  .arg(surface_->best->second)
                                  .arg(surface_->best->first);
        scale += where;
        text += QString::fromStdString(ScaleText(best)) + QStringLiteral(" (best) to ") +
                QString::fromStdString(ScaleText(worst)) + QStringLiteral(" (worst); ") + where;
    }
    surfacelbl->setText(scale);
    surfacelbl->setAccessibleDescription(text);
}

bool movemapfrm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == poptxt && event->type() == QEvent::KeyPress) {
        // Enter takes the population here rather than closing the window with Ok.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            (void)popbut_Click();
            return true;
        }
    }
    if (watched == mapgrd && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        int dl = 0, dc = 0;
        switch (key->key()) {
        case Qt::Key_Up:
            dl = -1;
            break;
        case Qt::Key_Down:
            dl = 1;
            break;
        case Qt::Key_Left:
            dc = -1;
            break;
        case Qt::Key_Right:
            dc = 1;
            break;
        default:
            return QDialog::eventFilter(watched, event);
        }
        (void)StepPod(chosenPod(), dl, dc);
        return true; // the arrows move the POD, not the current cell
    }
    if (watched == mapgrd->viewport()) {
        const auto cellOf = [this](const QPoint& at) -> std::pair<int, int> {
            const QModelIndex index = mapgrd->indexAt(at);
            if (!index.isValid())
                return {0, 0};
            return {index.row() + 1, index.column() + 1};
        };
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const auto [line, column] = cellOf(mouse->position().toPoint());
            if (const int pod = podAt(line, column); pod > 0 && mouse->button() == Qt::LeftButton) {
                dragging_ = pod;
                podbox->setCurrentIndex(pod - 1);
                return true;
            }
            break;
        }
        case QEvent::MouseMove:
            if (dragging_ > 0) {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                const auto [line, column] = cellOf(mouse->position().toPoint());
                if (layout_->Cell(dragging_) != std::pair{line, column})
                    (void)MovePodTo(dragging_, line, column);
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (dragging_ > 0) {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                const auto [line, column] = cellOf(mouse->position().toPoint());
                if (layout_->Cell(dragging_) != std::pair{line, column})
                    (void)MovePodTo(dragging_, line, column);
                dragging_ = 0;
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void movemapfrm::optimumbut_Click() {
    // Afresh from the search's result: exactly its figures, whatever the walk did.
    start();
}

void movemapfrm::Savebut_Click() {
    if (!layout_)
        return;
    // The moved layout is saved from the window's copy, with its populations: the study's
    // own problem and result stay as they are.
    ModuleState moved = problem_;
    if (existingOnly_) {
        // The problem with its existing PODs where they stand, as the map's Save stores it.
        for (int k = 1; k <= layout_->ExistingPods(); ++k)
            std::tie(moved.fl.PodLine[k], moved.fl.PodColumn[k]) = layout_->Cell(k);
        if (SaveMapProblem(moved, this))
            state_.ProblemFileName = moved.ProblemFileName;
        return;
    }
    // As the results window saves a result: the new PODs added as existing ones.
    layout_->WriteResult(moved.fl);
    if (!ChooseFileToSave(moved, this))
        return;
    bool added = false;
    if (Status saved = SaveResults(moved, added); !saved) {
        ShowMessage(this, saved.message());
        return;
    }
    state_.ProblemFileName = moved.ProblemFileName;
}

void movemapfrm::okbut_Click() {
    accept();
}

} // namespace davrenta

#include "popmap/moving.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <tuple>

#include "app/modulestate.h"
#include "popmap/fastgrid.h"
#include "popmap/fastkernel.h"
#include "popmap/fastreach.h"
#include "popmap/search.h"
#include "popmap/threadpool.h"
#include "state/messagetext.h"
#include "state/numbers.h"

namespace davrenta {

using namespace fastsearch_detail;

double Surface::Value(Measure measure, int line, int column) const {
    const auto c = static_cast<std::size_t>(Index(line, column));
    switch (measure) {
    case Measure::MaximumServed:
        return served[c];
    case Measure::MinimizeMaxDistance:
        return maxDistance[c];
    default:
        return travel[c];
    }
}

struct MovingLayout::Impl {
    Grid g; // the map, its populations; prior is refreshed for the surface
    std::vector<std::string> mapLines; // the input map, lines 1..last at 0..last-1
    int n = 0;                         // existing PODs
    std::vector<int> line, column;     // slot 1..m at index 0..m-1
    std::vector<char> label;
    std::vector<double> minimum; // per area cell: distance to its POD
    std::vector<int> owner;      // per area cell: its POD's slot, 0 for none
    // The same over the existing PODs alone.
    std::vector<double> priorMinimum;
    std::vector<int> priorOwner;
    LayoutFigures figures;

    int Pods() const { return static_cast<int>(line.size()); }

    // The distance the assignment rule computes from area cell k to slot q: the table's
    // double when the POD lies within its offsets (as every map cell does), else the formula.
    double Distance(int q, int k) const {
        const int pl = line[static_cast<std::size_t>(q - 1)];
        const int pc = column[static_cast<std::size_t>(q - 1)];
        const int dl = g.cellLine[static_cast<std::size_t>(k)] - pl;
        const int dc = g.cellColumn[static_cast<std::size_t>(k)] - pc;
        if (std::abs(dl) < kMapLines && std::abs(dc) < kMapColumns)
            return g.dist[static_cast<std::size_t>((dl + kMapLines - 1) * kColumnSpan + dc +
                                                   kMapColumns - 1)];
        return PodDistance(g.method, dl, dc);
    }

    // The assignment rule for one cell over slots 1..last.
    std::pair<double, int> Nearest(int k, int last) const {
        double m = kBigValue;
        int who = 0;
        for (int q = 1; q <= last; ++q) {
            const double d = Distance(q, k);
            if (d < m) {
                m = d;
                who = q;
            }
        }
        return {m, who};
    }
    void Assign(int k, int last) {
        const auto kk = static_cast<std::size_t>(k);
        std::tie(minimum[kk], owner[kk]) = Nearest(k, last);
    }
    void AssignPrior(int k) {
        const auto kk = static_cast<std::size_t>(k);
        std::tie(priorMinimum[kk], priorOwner[kk]) = Nearest(k, n);
    }

    // Slot pod moved: cell k follows the assignment rule over slots 1..last, kept in
    // (least, who).
    void Follow(int pod, int k, int last, std::vector<double>& least, std::vector<int>& who) {
        const auto kk = static_cast<std::size_t>(k);
        if (who[kk] == pod) {
            // The cell may now be nearer another POD: the rule over every slot.
            std::tie(least[kk], who[kk]) = Nearest(k, last);
            return;
        }
        // Otherwise only the moved POD can take it: nearer, or as near with a lower slot.
        const double d = Distance(pod, k);
        if (d < least[kk] || (d == least[kk] && who[kk] != 0 && pod < who[kk])) {
            least[kk] = d;
            who[kk] = pod;
        }
    }

    // The sums afresh, in cell order, as the search's evaluation takes them.
    void Sum() {
        LayoutFigures f;
        f.podServed.assign(static_cast<std::size_t>(Pods()), 0.0);
        for (int k = 0; k < g.K; ++k) {
            const double m = minimum[static_cast<std::size_t>(k)];
            const double pop = g.pop[static_cast<std::size_t>(k)];
            f.travel += pop * m;
            if (m > f.maxDistance)
                f.maxDistance = m;
            const int who = owner[static_cast<std::size_t>(k)];
            if (who > n)
                f.served += pop;
            if (who > 0)
                f.podServed[static_cast<std::size_t>(who - 1)] += pop;
        }
        // As the search prepares the existing PODs' map: its own pass in cell order.
        f.existingServed.assign(static_cast<std::size_t>(n), 0.0);
        if (n > 0)
            for (int k = 0; k < g.K; ++k) {
                const double m = priorMinimum[static_cast<std::size_t>(k)];
                const double pop = g.pop[static_cast<std::size_t>(k)];
                f.priorTravel += pop * m;
                if (m > f.priorMaxDistance)
                    f.priorMaxDistance = m;
                const int who = priorOwner[static_cast<std::size_t>(k)];
                if (who > 0)
                    f.existingServed[static_cast<std::size_t>(who - 1)] += pop;
            }
        figures = std::move(f);
    }
};

MovingLayout::MovingLayout(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
MovingLayout::MovingLayout(MovingLayout&&) noexcept = default;
MovingLayout& MovingLayout::operator=(MovingLayout&&) noexcept = default;
MovingLayout::~MovingLayout() = default;

Result<MovingLayout> MovingLayout::Start(const ModuleState& state,
                                         const std::vector<std::pair<int, int>>& newPods) {
    const PopMap& fl = state.fl;
    const int n = fl.ExistingPodCount;
    if (n < 0 || n > kMaxExistingPods)
        return Fail("A problem holds at most 30 existing PODs.");
    if (n + static_cast<int>(newPods.size()) > kMaxPods)
        return Fail("A problem holds at most 31 PODs: " + std::to_string(n) +
                    " existing PODs leave room for " + std::to_string(kMaxPods - n) + " new ones.");
    auto impl = std::make_unique<Impl>();
    Impl& m = *impl;
    m.g = MakeGeometry(state);
    AddPopulations(m.g, fl);
    m.n = n;
    for (int i = 1; i <= m.g.lastLine; ++i)
        m.mapLines.push_back(fl.MapLine[i]);
    for (int k = 1; k <= n; ++k) {
        m.line.push_back(fl.PodLine[k]);
        m.column.push_back(fl.PodColumn[k]);
        m.label.push_back(fl.PodSymbol[k].empty() ? '\0' : fl.PodSymbol[k][0]);
    }
    MovingLayout layout(std::move(impl));
    int q = 0;
    for (const auto& [l, c] : newPods) {
        ++q;
        if (!layout.OnMap(l, c))
            return Fail("New POD " + std::to_string(q) + " at line " + std::to_string(l) +
                        ", column " + std::to_string(c) + " lies off the map.");
        m.line.push_back(l);
        m.column.push_back(c);
        m.label.push_back(NewPodLabel(q));
    }
    m.minimum.assign(static_cast<std::size_t>(m.g.K), kBigValue);
    m.owner.assign(static_cast<std::size_t>(m.g.K), 0);
    m.priorMinimum.assign(static_cast<std::size_t>(m.g.K), kBigValue);
    m.priorOwner.assign(static_cast<std::size_t>(m.g.K), 0);
    for (int k = 0; k < m.g.K; ++k) {
        m.Assign(k, m.Pods());
        m.AssignPrior(k);
    }
    m.Sum();
    return layout;
}

int MovingLayout::Pods() const {
    return impl_->Pods();
}

int MovingLayout::ExistingPods() const {
    return impl_->n;
}

std::pair<int, int> MovingLayout::Cell(int pod) const {
    return {impl_->line[static_cast<std::size_t>(pod - 1)],
            impl_->column[static_cast<std::size_t>(pod - 1)]};
}

char MovingLayout::Label(int pod) const {
    return impl_->label[static_cast<std::size_t>(pod - 1)];
}

bool MovingLayout::OnMap(int line, int column) const {
    const Grid& g = impl_->g;
    return line >= 1 && line <= g.lastLine && column >= 1 &&
           column <= g.candLineStart[line + 1] - g.candLineStart[line];
}

bool MovingLayout::MoveTo(int pod, int line, int column) {
    Impl& m = *impl_;
    if (pod < 1 || pod > m.Pods() || !OnMap(line, column))
        return false;
    const auto at = static_cast<std::size_t>(pod - 1);
    if (m.line[at] == line && m.column[at] == column)
        return true;
    m.line[at] = line;
    m.column[at] = column;
    const int all = m.Pods();
    const bool existing = pod <= m.n;
    for (int k = 0; k < m.g.K; ++k) {
        m.Follow(pod, k, all, m.minimum, m.owner);
        if (existing)
            m.Follow(pod, k, m.n, m.priorMinimum, m.priorOwner);
    }
    m.Sum();
    return true;
}

bool MovingLayout::Step(int pod, int dLine, int dColumn) {
    if (pod < 1 || pod > Pods())
        return false;
    const auto [l, c] = Cell(pod);
    return MoveTo(pod, l + dLine, c + dColumn);
}

const LayoutFigures& MovingLayout::Figures() const {
    return impl_->figures;
}

void MovingLayout::ServiceMap(Table1<std::string, kMapLines>& map, bool marks) const {
    const Impl& m = *impl_;
    const Grid& g = m.g;
    for (int i = 1; i <= g.lastLine; ++i)
        map[i] = m.mapLines[static_cast<std::size_t>(i - 1)];
    for (int k = 0; k < g.K; ++k) {
        const int who = m.owner[static_cast<std::size_t>(k)];
        const char label = who > 0 ? m.label[static_cast<std::size_t>(who - 1)] : '\0';
        if (label != '\0')
            map[g.cellLine[static_cast<std::size_t>(k)]]
               [static_cast<std::size_t>(g.cellColumn[static_cast<std::size_t>(k)] - 1)] = label;
    }
    if (!marks || m.n == 0)
        return;
    for (int q = 1; q <= m.Pods(); ++q) {
        const auto [l, c] = Cell(q);
        if (l >= 1 && l <= kMapLines)
            MarkCell(map[l], c, q <= m.n ? 'x' : 'X');
    }
}

void MovingLayout::ExistingServiceMap(Table1<std::string, kMapLines>& map, bool marks) const {
    const Impl& m = *impl_;
    const Grid& g = m.g;
    for (int i = 1; i <= g.lastLine; ++i)
        map[i] = m.mapLines[static_cast<std::size_t>(i - 1)];
    for (int k = 0; k < g.K; ++k) {
        const int who = m.priorOwner[static_cast<std::size_t>(k)];
        const char label = who > 0 ? m.label[static_cast<std::size_t>(who - 1)] : '\0';
        if (label != '\0')
            map[g.cellLine[static_cast<std::size_t>(k)]]
               [static_cast<std::size_t>(g.cellColumn[static_cast<std::size_t>(k)] - 1)] = label;
    }
    if (!marks)
        return;
    for (int q = 1; q <= m.n; ++q) {
        const auto [l, c] = Cell(q);
        if (l >= 1 && l <= kMapLines)
            MarkCell(map[l], c, 'x');
    }
}

void MovingLayout::TakePopulations(const PopMap& fl) {
    Impl& m = *impl_;
    for (int k = 0; k < m.g.K; ++k)
        m.g.pop[static_cast<std::size_t>(k)] = fl.CellPopulation(
            m.g.cellLine[static_cast<std::size_t>(k)], m.g.cellColumn[static_cast<std::size_t>(k)]);
    m.Sum();
}

Surface MovingLayout::SurfaceNow(Measure measure) const {
    Impl& m = *impl_;
    Grid& g = m.g;
    // The existing PODs where they stand, as the grid of a search would meet them.
    for (int k = 0; k < g.K; ++k) {
        const double best = m.priorMinimum[static_cast<std::size_t>(k)];
        const int who = m.priorOwner[static_cast<std::size_t>(k)];
        g.prior[static_cast<std::size_t>(k)] = best;
        g.priorPod[static_cast<std::size_t>(k)] = who;
        g.priorLabel[static_cast<std::size_t>(k)] =
            who > 0 ? m.label[static_cast<std::size_t>(who - 1)] : '\0';
    }
    g.wide = WideVectorsAvailable();
    const Cap cap = MakeCap(g, g.prior);
    SingleResults r(g.C);
    for (int l = 1; l <= g.lastLine; ++l)
        EvaluateCandidates(g, cap, g.candLineStart[l], g.candLineStart[l + 1], r);

    Surface s;
    s.lastLine = g.lastLine;
    s.lineStart.assign(g.candLineStart.begin(), g.candLineStart.begin() + g.lastLine + 2);
    s.travel = std::move(r.travel);
    s.maxDistance = std::move(r.maxDistance);
    s.served = std::move(r.served);
    // The search's comparisons from its starting best, in cell order.
    double bestTravel = kBigValue, bestMax = kBigValue, bestServed = 0;
    int best = -1;
    for (int c = 0; c < g.C; ++c) {
        const auto cc = static_cast<std::size_t>(c);
        bool better = false;
        switch (measure) {
        case Measure::MinimizeTravel:
            better = s.travel[cc] < bestTravel;
            break;
        case Measure::MinimizeMaxDistance:
            better = s.maxDistance[cc] < bestMax;
            break;
        case Measure::MaximumServed:
            better = s.served[cc] > bestServed;
            break;
        default:
            break;
        }
        if (better) {
            bestTravel = s.travel[cc];
            bestMax = s.maxDistance[cc];
            bestServed = s.served[cc];
            best = c;
        }
    }
    if (best >= 0)
        s.best = std::pair{g.candLine[static_cast<std::size_t>(best)],
                           g.candColumn[static_cast<std::size_t>(best)]};
    return s;
}

std::optional<std::pair<int, int>> MovingLayout::Reoptimise(Measure measure) {
    if (Pods() != ExistingPods() + 1)
        return std::nullopt;
    const Surface s = SurfaceNow(measure);
    if (!s.best)
        return std::nullopt;
    MoveTo(Pods(), s.best->first, s.best->second);
    return s.best;
}

void MovingLayout::WriteResult(PopMap& fl) const {
    const Impl& m = *impl_;
    const int p = m.Pods() - m.n;
    for (int q = 1; q <= m.Pods(); ++q) {
        const auto [l, c] = Cell(q);
        fl.PodLine[q] = l;
        fl.PodColumn[q] = c;
        if (q > m.n) {
            fl.PodSymbol[q] = std::string(1, Label(q));
            fl.NewPodsLine[q - m.n] = l;
            fl.NewPodsColumn[q - m.n] = c;
        }
    }
    if (p == 1) {
        fl.NewPodLine = fl.NewPodsLine[1];
        fl.NewPodColumn = fl.NewPodsColumn[1];
    } else if (p == 2) {
        fl.NewPod1Line = fl.NewPodsLine[1];
        fl.NewPod1Column = fl.NewPodsColumn[1];
        fl.NewPod2Line = fl.NewPodsLine[2];
        fl.NewPod2Column = fl.NewPodsColumn[2];
    }
    const LayoutFigures& f = m.figures;
    fl.BestTravel = f.travel;
    fl.BestMaxDistance = f.maxDistance;
    fl.BestServed = f.served;
    fl.BestServedTravel = f.travel;
    for (int q = 1; q <= m.Pods(); ++q)
        fl.PodServed[q] = f.podServed[static_cast<std::size_t>(q - 1)];
    ServiceMap(fl.BestServiceMap, true);
}

namespace {

double MeasureOf(Measure measure, const LayoutFigures& f) {
    switch (measure) {
    case Measure::MaximumServed:
        return f.served;
    case Measure::MinimizeMaxDistance:
        return f.maxDistance;
    default:
        return f.travel;
    }
}

} // namespace

double MovingLayout::Value(Measure measure) const {
    return MeasureOf(measure, impl_->figures);
}

LayoutTexts TextsOf(const MovingLayout& layout, double totalPopulation, Metric method, char br) {
    static const std::array<const char*, 3> kMethods{"RECTILINEAR", "EUCLIDEAN",
                                                     "SQUARED EUCLIDEAN"};
    LayoutTexts t;
    const int code = MetricCode(method);
    if (code >= 1 && code <= 3)
        t.floclbl = std::string(kMethods[static_cast<std::size_t>(code - 1)]) + " CALCULATIONS";
    const int n = layout.ExistingPods();
    for (int q = n + 1; q <= layout.Pods(); ++q) {
        const auto [line, column] = layout.Cell(q);
        if (q > n + 1)
            t.coordinates += br;
        t.coordinates += "COORDINATES OF NEW POD " + std::to_string(q - n) + " (" +
                         layout.Label(q) + ") (x,y)= " + WholeNumberText(column) + ", " +
                         WholeNumberText(line);
    }
    const LayoutFigures& f = layout.Figures();
    t.figures =
        "AVERAGE DISTANCE " + FormatPicture(kDistanceScale * f.travel / totalPopulation, "0.###") +
        "   MAX DISTANCE " + FormatPicture(f.maxDistance, "####.###") + br +
        "NUMBER SERVED BY NEW PODS " + FormatPicture(IntegerPart(f.served + 0.5), "#######");
    t.facgrd.push_back({"POD", "x pos. (col)", "y pos. (row)", "Number Served"});
    for (int q = 1; q <= layout.Pods(); ++q) {
        const auto [line, column] = layout.Cell(q);
        t.facgrd.push_back({q <= n ? PlainForm(q) : std::string(1, layout.Label(q)),
                            PlainForm(column), PlainForm(line),
                            PlainForm(IntegerPart(f.podServed[static_cast<std::size_t>(q - 1)]))});
    }
    if (n > 0) {
        // The average as the search keeps it (PriorAverageDistance), then scaled as the
        // results window scales it.
        t.prior = "PRIOR AVG. DIST. TRAVELED " +
                  FormatPicture(kDistanceScale * (f.priorTravel / totalPopulation), "0.000") +
                  "   PRIOR MAX DISTANCE " + FormatPicture(f.priorMaxDistance, "####.###") + br +
                  "PRIOR TOTAL TRAVEL " + FormatPicture(f.priorTravel, "0.###");
        t.priorServed.push_back("Served Before");
        for (int q = 1; q <= layout.Pods(); ++q)
            t.priorServed.push_back(
                q <= n ? PlainForm(IntegerPart(f.existingServed[static_cast<std::size_t>(q - 1)]))
                       : std::string());
    }
    return t;
}

std::string ChangeText(Measure measure, const LayoutFigures& now, const LayoutFigures& optimum) {
    const double a = MeasureOf(measure, now);
    const double b = MeasureOf(measure, optimum);
    if (a == b)
        return {};
    const char* what = measure == Measure::MaximumServed         ? " served"
                       : measure == Measure::MinimizeMaxDistance ? " largest distance"
                                                                 : " travel";
    const char* sign = a > b ? "+" : "-";
    // Against an optimum of 0 no percentage exists: the difference itself.
    if (b == 0)
        return sign + FormatPicture(std::fabs(a - b), "0.###") + what;
    return sign + FormatPicture(std::fabs(100 * (a - b) / b), "0.0") + " %" + what;
}

Status EditAreaPopulation(ModuleState& problem, int area, std::string_view text) {
    PopMap& fl = problem.fl;
    if (area < 1 || area > fl.AreaCount)
        return Fail("There is no area " + std::to_string(area) + ".");
    const std::string symbol = fl.AreaSymbol[area];
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value) || value < 0)
        return Fail("The population of area \"" + QuoteForMessage(symbol) +
                    "\" must be a number of 0 or more, not \"" + QuoteForMessage(text) + "\".");
    ModuleState edited = problem;
    edited.fl.AreaPopulation[area] = value;
    edited.fl.TotalPopulation = SumPopulation(edited.fl);
    if (Status prepared = PrepareSearch(edited); !prepared)
        return prepared;
    problem = std::move(edited);
    return {};
}

} // namespace davrenta

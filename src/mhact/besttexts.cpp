#include "mhact/besttexts.h"

#include <cmath>

#include "mhact/texts.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

std::string Percent(const std::optional<double>& value, const char* pattern) {
    return (value ? FormatPicture(*value, pattern) : std::string(kUndefinedFigure)) + "%";
}

std::string Activity(double value) {
    return FormatPicture(value, "0.0");
}

// The saving on the current layout, as the switch window words it.
std::string ReductionOf(double start, double best) {
    return "    Reduction " + Percent(Reduction(start, best), "0.0");
}

std::string Bound(const BestLayoutOutcome& o) {
    return "LOWER BOUND " + Activity(o.lowerBound) + ", GAP " +
           Percent(GapPercent(o.activity, o.lowerBound), "0.00");
}

// "CURRENT LAYOUT 32965.0, 91.9% ABOVE THE BEST": against the best when it is proven, else
// against the lower bound, which no layout can beat.
std::string Against(const char* what, double activity, const BestLayoutOutcome& o) {
    const double reference = o.proven() ? o.activity : o.lowerBound;
    return std::string(what) + " " + Activity(activity) + ", " + (o.proven() ? "" : "AT MOST ") +
           Percent(PercentAbove(activity, reference), "0.0") + " ABOVE THE BEST";
}

std::string MethodName(Metric method) {
    switch (method) {
    case Metric::Rectilinear:
        return "rectilinear";
    case Metric::Euclidean:
        return "Euclidean";
    case Metric::SquaredEuclidean:
        return "squared Euclidean";
    }
    return "";
}

std::vector<std::string> Lines(const std::string& text, char lineBreak) {
    std::vector<std::string> lines(1);
    for (const char c : text) {
        if (c == lineBreak)
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

} // namespace

BestLayoutTexts BestLayoutResultTexts(const MhActivityState& mh, const BestLayoutOutcome& o,
                                      char lineBreak) {
    BestLayoutTexts t;
    t.changed = o.changed(mh);
    t.bestgrd.push_back({"DEPARTMENT", "X", "Y", "PLACE OF"});
    for (int d = 1; d <= o.DeptCount; ++d) {
        const bool stays = o.x[d] == mh.DeptX[d] && o.y[d] == mh.DeptY[d];
        t.bestgrd.push_back({mh.DeptName[d], PlainForm(o.x[d]), PlainForm(o.y[d]),
                             stays ? "(stays)" : mh.DeptName[o.place[d]]});
    }
    const std::string value = " = " + Activity(o.activity);
    switch (o.end) {
    case BestLayoutEnd::Proven:
        t.Label1 = t.changed ? "BEST LAYOUT" + value + ReductionOf(o.StartActivity, o.activity)
                             : "THE CURRENT LAYOUT IS THE BEST" + value;
        t.Label1 +=
            lineBreak + std::string("PROVEN: NO LAYOUT OF THESE PLACES HAS A LOWER ACTIVITY");
        break;
    case BestLayoutEnd::TimeLimit:
    case BestLayoutEnd::Cancelled:
        t.Label1 =
            (t.changed ? "BEST LAYOUT FOUND" + value + ReductionOf(o.StartActivity, o.activity)
                       : "NO BETTER LAYOUT FOUND" + value) +
            lineBreak +
            (o.end == BestLayoutEnd::TimeLimit ? "NOT PROVEN: THE TIME LIMIT WAS REACHED. "
                                               : "NOT PROVEN: THE SEARCH WAS CANCELLED. ") +
            Bound(o);
        break;
    }
    t.Label2 = Against("CURRENT LAYOUT", o.StartActivity, o) + lineBreak +
               Against("IMPROVE RESULT", o.ImprovedActivity, o);
    return t;
}

std::string BestLayoutProgressText(const BestLayoutProgress& p) {
    return "BEST SO FAR " + Activity(p.best) + "    LOWER BOUND " + Activity(p.bound) + "    GAP " +
           Percent(p.gap, "0.00") + "    " + FormatPicture(p.seconds, "0") + " s";
}

Report BestLayoutReport(const MhActivityState& mh, Metric method, const BestLayoutOutcome& o) {
    constexpr char kBreak = '\r';
    const BestLayoutTexts t = BestLayoutResultTexts(mh, o, kBreak);
    Report r("", 12);
    r.line();
    r.line();
    r.line().text("Best layout, " + MethodName(method) + " distance");
    r.line();
    for (const std::string& text : {t.Label1, t.Label2})
        for (const std::string& line : Lines(text, kBreak))
            r.line().text(line);
    r.line();
    r.line().text("Department").tab(20).text("X").tab(32).text("Y").tab(44).text("Place of");
    for (std::size_t k = 1; k < t.bestgrd.size(); ++k) {
        const auto& row = t.bestgrd[k];
        r.line().text(row[0]).tab(20).text(row[1]).tab(32).text(row[2]).tab(44).text(row[3]);
    }
    return r;
}

} // namespace davrenta

#include "mhact/texts.h"

#include <algorithm>

#include "state/numbers.h"

namespace davrenta {

namespace {

std::string MethodTag(Metric method) {
    switch (method) {
    case Metric::Rectilinear:
        return " (RECT) ";
    case Metric::Euclidean:
        return " (EUCL) ";
    case Metric::SquaredEuclidean:
        return " (SQEU) ";
    }
    return " ";
}

std::string Figure(const std::optional<double>& value, const char* pattern) {
    return value ? FormatPicture(*value, pattern) : kUndefinedFigure;
}

// " 150.0    Reduction 25.0%": the new total and its saving on the total before.
std::string ReductionText(double start, double best) {
    return " " + FormatPicture(best, "0.0") + "    Reduction " +
           Figure(Reduction(start, best), "0.0") + "%";
}

std::string SwitchText(const MhActivityState& mh, int a, int b, double start, double best) {
    return "OPTIMAL SWITCH = " + mh.DeptName[a] + " <---> " + mh.DeptName[b] +
           ReductionText(start, best);
}

} // namespace

std::array<std::string, 3> DepartmentRowTexts(const MhActivityState& mh, int i) {
    if (mh.DeptName[i].empty() && mh.DeptX[i] == 0 && mh.DeptY[i] == 0)
        return {"", "", ""};
    return {mh.DeptName[i], RoundTripForm(mh.DeptX[i]), RoundTripForm(mh.DeptY[i])};
}

std::string MoveText(double moves) {
    return RoundTripForm(moves);
}

MhResultsTexts OpenMhResults(MhActivityState& mh, Metric method, char lineBreak,
                             ActivityFigures* figures) {
    const ActivityFigures f = ComputeActivity(mh, method);
    MhResultsTexts t;
    t.res1grd.push_back({"FROM DEPT", "TO DEPT", "LOADS", "DIST", "LOADS X DIST", "PERCENT"});
    for (const ListedPair& p : f.pairs)
        t.res1grd.push_back({mh.DeptName[p.from], mh.DeptName[p.to],
                             PlainForm(mh.MoveCount(p.from, p.to)),
                             FormatPicture(mh.DeptDistance(p.from, p.to), "0.0"),
                             FormatPicture(mh.LoadDistance(p.from, p.to), "0.0"),
                             Figure(PercentOfTotal(mh, p.from, p.to), "0.00")});
    t.Label1 = "CURRENT MH ACTIVITY" + MethodTag(method) + lineBreak + "AVERAGE MOVE DISTANCE" +
               lineBreak + "STANDARD DEVIATION";
    t.Label2 = FormatPicture(f.TotalLoads, "0") + lineBreak + Figure(f.AverageMoveDistance, "0.0") +
               lineBreak + Figure(f.StandardDeviation, "0.0");
    t.Label3 = FormatPicture(mh.ActivityTotal, "0");
    if (figures)
        *figures = f;
    return t;
}

Report MhResultsReport(MhActivityState& mh, Metric method) {
    const ActivityFigures f = Recompute(mh, method);
    Report r("", 12);
    r.line();
    r.line();
    r.line()
        .text("From Dept")
        .text("To Dept  ")
        .text("Loads    ")
        .text("Distance ")
        .text("Load x Dist  ")
        .text("Percent");
    const std::string gap = "    ";
    for (const ListedPair& p : f.pairs) {
        const int i = p.from, j = p.to;
        r.line()
            .text(mh.DeptName[i])
            .text(gap)
            .text(mh.DeptName[j])
            .text(gap)
            .number(mh.MoveCount(i, j))
            .text(gap)
            .text(FormatPicture(mh.DeptDistance(i, j), "0.0"))
            .text(gap)
            .text(FormatPicture(mh.LoadDistance(i, j), "0.0"))
            .text(gap)
            .text(Figure(PercentOfTotal(mh, i, j), "0.00"));
    }
    return r;
}

Report MoveTableReport(const MhActivityState& mh) {
    const int n = std::clamp(mh.DeptCount, 0, kMaxDepartments);
    Report r("", 12);
    r.line();
    r.line();
    ReportLine& heading = r.line();
    for (int i = 1; i <= n; ++i)
        heading.text(mh.DeptName[i]).blanks(15);
    for (int i = 1; i <= n; ++i) {
        r.line();
        ReportLine& row = r.line().text("  ").text(mh.DeptName[i]);
        for (int j = 1; j <= n; ++j)
            row.text("    ").text(MoveText(mh.MoveCount(i, j)));
    }
    return r;
}

SwitchTexts OpenSwitches(MhActivityState& mh, Metric method, SwitchOutcome* outcome) {
    const SwitchOutcome s = RunSwitchSearch(mh, method);
    SwitchTexts t;
    t.res2grd.push_back({"DEPARTMENTS", "SWITCHED", "MH ACTIVITY"});
    for (const SwitchTrial& trial : s.trials)
        t.res2grd.push_back(
            {mh.DeptName[trial.dept1], mh.DeptName[trial.dept2], PlainForm(trial.activity)});
    t.improved = mh.SwitchDept1 >= 0;
    t.Label1 = t.improved
                   ? SwitchText(mh, mh.SwitchDept1, mh.SwitchDept2, s.StartActivity, s.BestActivity)
                   : "NO IMPROVEMENTS";
    if (outcome)
        *outcome = s;
    return t;
}

ImproveTexts ImproveResultTexts(const MhActivityState& mh, const ImproveOutcome& outcome) {
    ImproveTexts t;
    t.impgrd.push_back({"STEP", "DEPARTMENTS", "SWITCHED", "MH ACTIVITY"});
    t.impgrd.push_back({"0", "", "", PlainForm(outcome.StartActivity)});
    int step = 0;
    for (const ImproveStep& s : outcome.steps)
        t.impgrd.push_back({std::to_string(++step), mh.DeptName[s.dept1], mh.DeptName[s.dept2],
                            PlainForm(s.activity)});
    t.improved = !outcome.steps.empty();
    if (!t.improved) {
        t.Label1 = "NO IMPROVEMENTS";
        return t;
    }
    t.Label1 = "IMPROVED LAYOUT AFTER " + std::to_string(outcome.steps.size()) +
               (outcome.steps.size() == 1 ? " SWITCH =" : " SWITCHES =") +
               ReductionText(outcome.StartActivity, outcome.steps.back().activity);
    if (outcome.stoppedAtLimit)
        t.Label1 += " (stopped after " + std::to_string(kMaxImproveSteps) + " switches)";
    return t;
}

} // namespace davrenta

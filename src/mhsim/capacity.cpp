#include "mhsim/capacity.h"

#include <algorithm>
#include <cmath>

#include "mhsim/texts.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

std::string Picture(double value) {
    return FormatPicture(value, "0.00");
}

// ln of the sums G = sum rho^j and H = sum j rho^j over j = 1..q (q >= 1), summed from the
// largest term on until the rest cannot change them.
void GeometricLogs(double lnRho, long long q, double& lnG, double& lnH) {
    const bool rising = lnRho > 0;
    const double top = rising ? static_cast<double>(q) * lnRho : lnRho;
    double g = 0, h = 0;
    constexpr long long kMostTerms = 10000000;
    for (long long k = 0; k < q && k < kMostTerms; ++k) {
        const long long j = rising ? q - k : 1 + k;
        const double term = std::exp(static_cast<double>(j) * lnRho - top);
        g += term;
        h += static_cast<double>(j) * term;
        if (term < 1e-18 * g && static_cast<double>(j) * term < 1e-18 * h)
            break;
    }
    lnG = std::log(g) + top;
    lnH = std::log(h) + top;
}

// M/M/s: Erlang's delay formula through the stable recursion of the loss formula.
LongDayValues MultiServer(double rate, double meanService, int s) {
    LongDayValues v;
    const double a = rate * meanService, rho = a / s;
    if (!(rho < 1)) {
        v.bounded = false;
        return v;
    }
    double b = 1;
    for (int k = 1; k <= s; ++k)
        b = a * b / (k + a * b);
    const double delay = b / (1 - rho * (1 - b));
    v.lineLength = delay * rho / (1 - rho);
    v.waitMinutes = v.lineLength / rate * 60;
    v.propBusy = rho;
    return v;
}

// M/M/s/K with K = s + q, from the state probabilities in logarithms: any rate, any limit.
LongDayValues LimitedLine(double rate, double meanService, int s, long long q, double length) {
    const double a = rate * meanService, lnA = std::log(a), lnRho = lnA - std::log(s);
    std::vector<double> low(static_cast<std::size_t>(s) + 1);
    for (int n = 0; n <= s; ++n)
        low[static_cast<std::size_t>(n)] = n * lnA - std::lgamma(n + 1.0);
    const double lnS = low.back();
    double lnG = -INFINITY, lnH = -INFINITY;
    if (q > 0)
        GeometricLogs(lnRho, q, lnG, lnH);
    const double lnFull = q > 0 ? lnS + static_cast<double>(q) * lnRho : lnS;
    double top = std::max(*std::max_element(low.begin(), low.end()), lnS + lnG);
    double z = 0;
    for (const double l : low)
        z += std::exp(l - top);
    if (q > 0)
        z += std::exp(lnS + lnG - top);
    const double blocking = std::exp(lnFull - top) / z;
    LongDayValues v;
    const double admitted = rate * (1 - blocking);
    v.lineLength = q > 0 ? std::exp(lnS + lnH - top) / z : 0;
    v.waitMinutes = admitted > 0 ? v.lineLength / admitted * 60 : 0;
    v.propBusy = admitted * meanService / s;
    v.turnawaysPerCycle = rate * length * blocking;
    return v;
}

std::string MeasureColumn(const MhSimState& m, SimMeasure measure) {
    double mean = 0, half = 0;
    MeanAndHalf(m, measure, mean, half);
    return WithHalfWidth(mean, half);
}

} // namespace

bool TheoryApplies(const MhSimState& mhs) {
    const bool exponential = mhs.DistCode == 2 || (mhs.DistCode == 8 && mhs.ServiceParamB == 1);
    return exponential && (mhs.SimOption == 1 || mhs.SimOption == 3) && mhs.DemandRate > 0 &&
           mhs.ServiceParamA > 0 && mhs.NumServers >= 1 && mhs.NumServers <= kMaxServers;
}

std::optional<LongDayValues> LongDayTheory(const MhSimState& mhs) {
    if (!TheoryApplies(mhs))
        return std::nullopt;
    const int s = static_cast<int>(mhs.NumServers);
    if (mhs.SimOption == 1)
        return MultiServer(mhs.DemandRate, mhs.ServiceParamA, s);
    const double limit = std::max(0.0, std::min(mhs.QueueLimit, 9e18));
    return LimitedLine(mhs.DemandRate, mhs.ServiceParamA, s, static_cast<long long>(limit),
                       mhs.CycleLength);
}

TargetMark MarkAgainst(const MhSimState& row, const CapacityTarget& target) {
    const bool wait = target.kind == TargetKind::Wait;
    const double mean = wait ? row.WaitMean : row.TurnawayMean;
    const double half = wait ? row.WaitHalf : row.TurnawayHalf;
    if (mean + half <= target.value)
        return TargetMark::Meets;
    if (mean - half <= target.value)
        return TargetMark::Uncertain;
    return TargetMark::Misses;
}

std::optional<std::size_t> SmallestMeeting(const std::vector<MhSimState>& rows,
                                           const CapacityTarget& target) {
    if (target.kind == TargetKind::None)
        return std::nullopt;
    for (std::size_t k = 0; k < rows.size(); ++k)
        if (MarkAgainst(rows[k], target) == TargetMark::Meets)
            return k;
    return std::nullopt;
}

std::string TargetText(const CapacityTarget& target) {
    switch (target.kind) {
    case TargetKind::Wait:
        return "average wait at most " + PlainForm(target.value) + " minutes";
    case TargetKind::Turnaways:
        return "turn-aways at most " + PlainForm(target.value) + " per cycle";
    case TargetKind::None:
        break;
    }
    return {};
}

std::string TargetSummary(const std::vector<MhSimState>& rows, const CapacityTarget& target) {
    if (target.kind == TargetKind::None || rows.empty())
        return {};
    const std::string range =
        PlainForm(rows.front().NumServers) + " to " + PlainForm(rows.back().NumServers);
    const std::optional<std::size_t> k = SmallestMeeting(rows, target);
    if (!k) {
        const bool anyUncertain = std::any_of(rows.begin(), rows.end(), [&](const MhSimState& r) {
            return MarkAgainst(r, target) == TargetMark::Uncertain;
        });
        return "No number of servers from " + range + " meets the target (" + TargetText(target) +
               ")" + (anyUncertain ? "; those marked uncertain may, with more cycles." : ".");
    }
    const MhSimState& r = rows[*k];
    const bool wait = target.kind == TargetKind::Wait;
    return "Smallest number of servers meeting the target (" + TargetText(target) +
           "): " + PlainForm(r.NumServers) + ", with " +
           (wait ? "an average wait of " + WithHalfWidth(r.WaitMean, r.WaitHalf) + " minutes"
                 : WithHalfWidth(r.TurnawayMean, r.TurnawayHalf) + " turn-aways per cycle") +
           ".";
}

std::string MarkText(const std::vector<MhSimState>& rows, const CapacityTarget& target,
                     std::size_t row) {
    if (target.kind == TargetKind::None)
        return {};
    if (SmallestMeeting(rows, target) == row)
        return "smallest";
    switch (MarkAgainst(rows[row], target)) {
    case TargetMark::Meets:
        return "meets";
    case TargetMark::Uncertain:
        return "uncertain";
    case TargetMark::Misses:
        break;
    }
    return "misses";
}

std::string WithHalfWidth(double mean, double half) {
    return Picture(mean) + " +/- " + Picture(half);
}

void MeanAndHalf(const MhSimState& m, SimMeasure measure, double& mean, double& half) {
    switch (measure) {
    case SimMeasure::Served:
        mean = m.NumServMean, half = m.NumServHalf;
        return;
    case SimMeasure::Overtime:
        mean = m.OvertimeMean, half = m.OvertimeHalf;
        return;
    case SimMeasure::LineLen:
        mean = m.LineLenMean, half = m.LineLenHalf;
        return;
    case SimMeasure::Wait:
        mean = m.WaitMean, half = m.WaitHalf;
        return;
    case SimMeasure::PropBusy:
        mean = m.PropBusyMean, half = m.PropBusyHalf;
        return;
    case SimMeasure::Turnaways:
        mean = m.TurnawayMean, half = m.TurnawayHalf;
        return;
    }
}

std::string MeasureName(SimMeasure measure) {
    switch (measure) {
    case SimMeasure::Served:
        return "number served per cycle";
    case SimMeasure::Overtime:
        return "overtime hours required per cycle";
    case SimMeasure::LineLen:
        return "line length per cycle";
    case SimMeasure::Wait:
        return "wait time per service (minutes)";
    case SimMeasure::PropBusy:
        return "proportion busy time";
    case SimMeasure::Turnaways:
        return "turn aways per cycle";
    }
    return {};
}

Report ComparisonReport(const std::vector<MhSimState>& rows, const CapacityTarget& target) {
    Report r("courier", 10);
    if (rows.empty())
        return r;
    const MhSimState& first = rows.front();
    const int option = first.SimOption;
    r.line();
    r.line().tab(5).text("COMPARISON OF NUMBERS OF SERVERS: " + OptionCaption(option));
    r.line();
    const auto input = [&r](const std::string& label, const std::string& value) {
        r.line().text(label).tab(36).text(value);
    };
    input("Number of simulation cycles", PlainForm(first.SimCycles));
    input("Length of simulation cycle", PlainForm(first.CycleLength));
    input("Demand Rate (Demands/hour)", PlainForm(first.DemandRate));
    if (option >= 3)
        input("Specified maximum queue length", PlainForm(first.QueueLimit));
    const ParameterLabels labels = LabelsFor(first.DistCode);
    input("Service Time Distribution", ReportDistributionName(first.DistCode));
    input(labels.a, Picture(first.ServiceParamA));
    if (labels.bShown)
        input(labels.b, Picture(first.ServiceParamB));
    input("Seed", std::to_string(first.Seed));
    if (target.kind != TargetKind::None)
        input("Target", TargetText(target));
    r.line();

    std::vector<std::optional<LongDayValues>> theory;
    bool anyTheory = false;
    for (const MhSimState& m : rows) {
        theory.push_back(LongDayTheory(m));
        anyTheory = anyTheory || theory.back().has_value();
    }
    const auto longDay = [&](std::size_t k, double LongDayValues::*field) {
        if (!theory[k])
            return std::string();
        return theory[k]->bounded ? Picture(*theory[k].*field) : std::string("none");
    };
    const bool marks = target.kind != TargetKind::None;

    // Means with their 95% half-widths; the long-day values beside, where theory applies.
    ReportLine& head =
        r.line().text("Servers").tab(9).text("Wait (minutes)").tab(28).text("Line length");
    if (anyTheory)
        head.tab(46).text("Long days:").tab(58).text("Long days:");
    // The marks follow the last column shown, not a gap left for long-day values.
    const int markTab = anyTheory ? 70 : 46;
    if (marks)
        head.tab(markTab).text("Target");
    if (anyTheory)
        r.line().tab(46).text("wait").tab(58).text("line");
    for (std::size_t k = 0; k < rows.size(); ++k) {
        ReportLine& line = r.line()
                               .text(PlainForm(rows[k].NumServers))
                               .tab(9)
                               .text(MeasureColumn(rows[k], SimMeasure::Wait))
                               .tab(28)
                               .text(MeasureColumn(rows[k], SimMeasure::LineLen));
        if (anyTheory)
            line.tab(46)
                .text(longDay(k, &LongDayValues::waitMinutes))
                .tab(58)
                .text(longDay(k, &LongDayValues::lineLength));
        if (marks)
            line.tab(markTab).text(MarkText(rows, target, k));
    }
    r.line();
    const char* third = option == 2 || option == 4 ? "Overtime hours" : nullptr;
    ReportLine& head2 =
        r.line().text("Servers").tab(9).text("Proportion busy").tab(28).text("Number served");
    if (third)
        head2.tab(47).text(third);
    if (option >= 3)
        head2.tab(third ? 66 : 47).text("Turn aways");
    else
        head2.tab(third ? 66 : 47).text("Largest line");
    for (const MhSimState& m : rows) {
        ReportLine& line = r.line()
                               .text(PlainForm(m.NumServers))
                               .tab(9)
                               .text(MeasureColumn(m, SimMeasure::PropBusy))
                               .tab(28)
                               .text(MeasureColumn(m, SimMeasure::Served));
        if (third)
            line.tab(47).text(MeasureColumn(m, SimMeasure::Overtime));
        line.tab(third ? 66 : 47)
            .text(option >= 3 ? MeasureColumn(m, SimMeasure::Turnaways)
                              : std::to_string(m.MaxLine));
    }
    r.line();
    r.line().text("Each figure is the mean over the cycles +/- its 95% half-width; every number");
    r.line().text("of servers saw the same arrivals and service times (the same seed).");
    if (anyTheory) {
        r.line().text(option == 1 ? "Long days: the multi-server queue's value for long days"
                                  : "Long days: the limited-line multi-server queue's value for");
        r.line().text(option == 1 ? "(none: the line grows without limit)." : "long days.");
    }
    if (marks) {
        r.line();
        r.line().text(TargetSummary(rows, target));
    }
    return r;
}

std::vector<std::string> PreciseLines(const MhSimState& mhs) {
    if (!mhs.Precise)
        return {};
    const PreciseRun& p = *mhs.Precise;
    double mean = 0, half = 0;
    MeanAndHalf(mhs, p.target.measure, mean, half);
    const std::string target = p.target.relative ? PlainForm(p.target.halfWidth) + "% of the mean"
                                                 : PlainForm(p.target.halfWidth);
    const std::string cycles = std::to_string(p.cyclesRun);
    if (p.met)
        return {"Run until precise: the 95% half-width of the " + MeasureName(p.target.measure) +
                    " is " + Picture(half) + ",",
                "below the target of " + target + ", after " + cycles + " cycles."};
    return {"Run until precise: after the largest number of cycles, " + cycles + ",",
            "the 95% half-width of the " + MeasureName(p.target.measure) + " is " + Picture(half) +
                ", not below the target of " + target + "."};
}

} // namespace davrenta

#include "mhsim/texts.h"

#include <algorithm>
#include <cmath>

#include "state/numbers.h"

namespace davrenta {

const std::array<const char*, 8> kDistributionEntries = {
    "Normal", "Expo", "Weibull", "Lognormal", "Binomial", "Poisson", "Uniform", "Erlang"};

namespace {

bool ValidOption(int option) {
    return option >= 1 && option <= 4;
}
bool ValidCode(int code) {
    return code >= 1 && code <= 8;
}
bool LocksDoor(int option) {
    return option == 2 || option == 4;
}
bool LimitsQueue(int option) {
    return option == 3 || option == 4;
}

std::string Picture(double value) {
    return FormatPicture(value, "0.00");
}

} // namespace

std::string OptionCaption(int option) {
    static const char* captions[] = {"Multi-servers", "Multi-servers + Lock door",
                                     "Multi-servers + Limited queue size",
                                     "Multi-servers + Lock door + Limited queue size"};
    return ValidOption(option) ? captions[option - 1] : "";
}

ParameterLabels LabelsFor(int distCode) {
    static const ParameterLabels labels[] = {{"Mean", "Standard Deviation", true},
                                             {"Mean", "", false},
                                             {"m", "Theta", true},
                                             {"Mean", "Variance", true},
                                             {"n", "p", true},
                                             {"Lamda", "", false},
                                             {"Minimum value", "Maximum value", true},
                                             {"Mean", "K", true}};
    if (!ValidCode(distCode))
        return {"Parameter a", "Parameter b", true};
    return labels[distCode - 1];
}

std::string InputText(const MhSimState& mhs, double value) {
    return mhs.InputsBlank ? std::string() : PlainForm(value);
}

std::string ResultsWindowName(int option) {
    return "mhsresult" + std::to_string(ValidOption(option) ? option : 1) + "frm";
}

std::string ResultsCaption(int option) {
    static const char* captions[] = {
        "Results For Multi-Servers Option", "Results For Multi-Servers + Lock Door Option",
        "Results For Multi-Servers + Limited Queue Size Option",
        "Results For Multi-Servers + Lock Door + Limited Queue Size Option"};
    return captions[ValidOption(option) ? option - 1 : 0];
}

std::string ScreenDistributionName(int distCode) {
    static const char* names[] = {"Normal",   "Exponential", "Weibull", "Log Normal",
                                  "Binomial", "Poisson",     "Uniform", "Erlang"};
    return ValidCode(distCode) ? names[distCode - 1] : "";
}

std::string ReportDistributionName(int distCode) {
    static const char* names[] = {"Normal",   "Exponential", "Weibull", "Lognormal",
                                  "Binomial", "Poisson",     "Uniform", "Erlang"};
    return ValidCode(distCode) ? names[distCode - 1] : "";
}

MhsResultsTexts OpenMhsResults(const MhSimState& mhs) {
    MhsResultsTexts t;
    t.caption = ResultsCaption(mhs.SimOption);
    t.daystxt = PlainForm(mhs.SimCycles);
    t.lsimtxt = PlainForm(mhs.CycleLength);
    t.afreqtxt = PlainForm(mhs.DemandRate);
    t.sflagtxt = ScreenDistributionName(mhs.DistCode);
    t.nservtxt = PlainForm(mhs.NumServers);
    t.svcatxt = PlainForm(mhs.ServiceParamA);
    t.svcbtxt = PlainForm(mhs.ServiceParamB);
    t.wspacetxt = PlainForm(mhs.QueueLimit);
    t.maxlinetxt = PlainForm(mhs.MaxLine);
    t.seedtxt = std::to_string(mhs.Seed);
    t.labels = LabelsFor(mhs.DistCode);
    t.showMaxLine = !LimitsQueue(mhs.SimOption);
    t.showQueueLimit = LimitsQueue(mhs.SimOption);
    const auto row = [](const char* field, const char* label, double mean, double std,
                        double half) {
        return MhsResultRow{field, label, Picture(mean), Picture(std), Picture(half)};
    };
    t.rows = {
        row("numserv", "Number served per cycle", mhs.NumServMean, mhs.NumServStd, mhs.NumServHalf),
        row("linelen", "Line Length per cycle", mhs.LineLenMean, mhs.LineLenStd, mhs.LineLenHalf),
        row("wait", "Wait time per service (minutes)", mhs.WaitMean, mhs.WaitStd, mhs.WaitHalf),
        row("propbusy", "Proportion busy time", mhs.PropBusyMean, mhs.PropBusyStd,
            mhs.PropBusyHalf)};
    if (LocksDoor(mhs.SimOption))
        t.rows.push_back(row("overtime", "Overtime hours required per cycle", mhs.OvertimeMean,
                             mhs.OvertimeStd, mhs.OvertimeHalf));
    if (LimitsQueue(mhs.SimOption))
        t.rows.push_back(row("turnaway", "Turn aways per cycle", mhs.TurnawayMean, mhs.TurnawayStd,
                             mhs.TurnawayHalf));
    return t;
}

Report MhsReport(const MhSimState& mhs) {
    static const char* titles[] = {
        "SIMULATION RESULTS FOR MULTI-SERVERS OPTION",
        "SIMULATION RESULTS FOR MULTI-SERVERS + LOCK DOOR OPTION",
        "SIMULATION RESULTS FOR MULTI-SERVERS + LIMITED QUEUE SIZE OPTION",
        "SIMULATION RESULTS FOR MULTI-SERVERS + LOCK DOOR + LIMITED QUEUE SIZE OPTION"};
    const int option = ValidOption(mhs.SimOption) ? mhs.SimOption : 1;
    Report r("times new roman", 12);
    r.line();
    r.line().tab(10).text(titles[option - 1]);
    r.line();
    const auto input = [&r](const char* label, double value) {
        r.line().text(label).tab(40).number(value);
    };
    input("Number of simulation cycles", mhs.SimCycles);
    input("Length of simulation cycle", mhs.CycleLength);
    input("Demand Rate (Demands/hour)", mhs.DemandRate);
    input("Number of servers", mhs.NumServers);
    if (option == 3)
        input("Specified maximum queue length", mhs.QueueLimit);
    if (ValidCode(mhs.DistCode)) {
        static const char* aLabels[] = {"Mean",  "Mean",          "m",   "Mean", "n",
                                        "Lamda", "Minimum value", "Mean"};
        static const char* bLabels[] = {"Standard Deviation", "", "Theta", "Variance", "p", "",
                                        "Maximum value",      "k"};
        const int k = mhs.DistCode - 1;
        r.line()
            .text("Service Time Distribution")
            .tab(40)
            .text(ReportDistributionName(mhs.DistCode));
        r.line().text(aLabels[k]).tab(40).text(Picture(mhs.ServiceParamA));
        if (*bLabels[k])
            r.line().text(bLabels[k]).tab(40).text(Picture(mhs.ServiceParamB));
    }
    if (option == 4)
        input("Specified maximum queue length", mhs.QueueLimit);
    r.line();
    if (!LimitsQueue(option)) {
        input("Maximum observed line length", mhs.MaxLine);
        r.line();
    }
    r.line().tab(40).text("Mean").tab(50).text("Std.");
    const auto result = [&r](const char* label, double mean, double std) {
        r.line().text(label).tab(40).text(Picture(mean)).tab(50).text(Picture(std));
    };
    if (LocksDoor(option))
        result("Overtime hours required per cycle", mhs.OvertimeMean, mhs.OvertimeStd);
    if (LimitsQueue(option))
        result("Turnaways per cycle", mhs.TurnawayMean, mhs.TurnawayStd);
    result("Number served per cycle", mhs.NumServMean, mhs.NumServStd);
    result("Line length per cycle", mhs.LineLenMean, mhs.LineLenStd);
    result("Wait time per service (minutes)", mhs.WaitMean, mhs.WaitStd);
    result("Proportion Busy Time", mhs.PropBusyMean, mhs.PropBusyStd);
    return r;
}

std::vector<std::pair<ChartMeasure, std::string>> ChartMeasures(int option) {
    std::vector<std::pair<ChartMeasure, std::string>> out = {
        {ChartMeasure::NumServ, "Number served per cycle"},
        {ChartMeasure::LineLen, "Line Length per cycle"},
        {ChartMeasure::Wait, "Wait time per service (minutes)"},
        {ChartMeasure::PropBusy, "Proportion busy time"}};
    if (LocksDoor(option))
        out.push_back({ChartMeasure::Overtime, "Overtime hours required per cycle"});
    if (LimitsQueue(option))
        out.push_back({ChartMeasure::Turnaway, "Turn aways per cycle"});
    return out;
}

Histogram MakeHistogram(const std::vector<CycleMeasures>& values, ChartMeasure measure) {
    Histogram h;
    if (values.empty())
        return h;
    const auto valueOf = [measure](const CycleMeasures& m) {
        switch (measure) {
        case ChartMeasure::NumServ:
            return m.served;
        case ChartMeasure::LineLen:
            return m.lineLength;
        case ChartMeasure::Wait:
            return m.wait * 60;
        case ChartMeasure::PropBusy:
            return m.propBusy;
        case ChartMeasure::Overtime:
            return m.overtime;
        case ChartMeasure::Turnaway:
            return m.turnaways;
        }
        return 0.0;
    };
    const bool whole = measure == ChartMeasure::NumServ || measure == ChartMeasure::Turnaway;
    double low = valueOf(values.front()), high = low;
    for (const CycleMeasures& m : values) {
        low = std::min(low, valueOf(m));
        high = std::max(high, valueOf(m));
    }
    const long long n = static_cast<long long>(values.size());
    const int wanted = static_cast<int>(std::clamp<double>(std::ceil(std::sqrt(double(n))), 1, 30));
    // Values near the largest number: their range is taken in halves, which cannot overflow.
    const double scale = std::isfinite(high - low) ? 1 : 0.5;
    const double range = high * scale - low * scale;
    double width = range / wanted;
    if (whole)
        width = std::max(1.0, std::ceil((range + scale) / wanted));
    if (!(width > 0))
        width = 1;
    const auto binOf = [&](double value) {
        const double k = std::floor((value * scale - low * scale) / width);
        return static_cast<int>(std::clamp(k, 0.0, static_cast<double>(wanted)));
    };
    int bins = whole ? binOf(high) + 1 : wanted;
    if (!whole && !(high > low))
        bins = 1;
    h.counts.assign(static_cast<std::size_t>(bins), 0);
    for (const CycleMeasures& m : values)
        ++h.counts[static_cast<std::size_t>(std::min(binOf(valueOf(m)), bins - 1))];
    width /= scale;
    h.low = low;
    h.width = width;
    for (int k = 0; k < bins; ++k) {
        double from = low + k * width;
        if (!std::isfinite(from))
            from = 2 * (low / 2 + k * (width / 2));
        if (whole)
            h.labels.push_back(width == 1 ? PlainForm(from)
                                          : PlainForm(from) + "-" + PlainForm(from + width - 1));
        else
            h.labels.push_back(
                FormatPicture(from, "0.00") + "-" +
                FormatPicture(std::isfinite(from + width) ? from + width : high, "0.00"));
    }
    h.cycles = n;
    return h;
}

} // namespace davrenta

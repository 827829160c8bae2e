#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "mhsim/model.h"
#include "state/report.h"

namespace davrenta {

inline constexpr const char* kMhsDescription =
    "This function allows the user to simulate a material handling system."
    "The user can test various options concerning the system.";

// "Multi-servers" ... "Multi-servers + Lock door + Limited queue size" for options 1..4.
std::string OptionCaption(int option);

// The eight entries of the distribution list, DistCode 1..8 in order.
extern const std::array<const char*, 8> kDistributionEntries;

// The parameter boxes' labels for a distribution (0: none selected) and whether the second
// box and its label are shown.
struct ParameterLabels {
    std::string a, b;
    bool bShown = true;
};
ParameterLabels LabelsFor(int distCode);

// A box's text for a stored input: its plain form, or empty on the keyboard path.
std::string InputText(const MhSimState& mhs, double value);

// The results window of an option: its objectName and caption.
std::string ResultsWindowName(int option);
std::string ResultsCaption(int option);

// The distribution as the results windows and the report name it; empty for code 0.
std::string ScreenDistributionName(int distCode);
std::string ReportDistributionName(int distCode);

// One result row: the label, then the mean, the standard deviation and the 95 % half-width
// as the fields show them ("0.00"); `field` is the name stem of its boxes ("numserv").
struct MhsResultRow {
    std::string field, label, mean, std, half;
};

// Everything the results window of the run's option shows, computed from the state.
struct MhsResultsTexts {
    std::string caption;
    std::string daystxt, lsimtxt, afreqtxt, sflagtxt, nservtxt, svcatxt, svcbtxt, wspacetxt,
        maxlinetxt, seedtxt;
    ParameterLabels labels;
    std::vector<MhsResultRow> rows; // the rows that apply to the option, as the window orders them
    bool showMaxLine = false, showQueueLimit = false;
};
MhsResultsTexts OpenMhsResults(const MhSimState& mhs);

// The printed report of the run's option.
Report MhsReport(const MhSimState& mhs);

// The measures the chart can show, in the results window's order, with their titles.
enum class ChartMeasure { NumServ, LineLen, Wait, PropBusy, Overtime, Turnaway };
std::vector<std::pair<ChartMeasure, std::string>> ChartMeasures(int option);

// A histogram of the kept per-cycle values of one measure (wait in minutes). Whole-number
// measures get whole-number bins.
struct Histogram {
    double low = 0, width = 1;
    std::vector<long long> counts;
    std::vector<std::string> labels; // the range of each bin
    long long cycles = 0;            // values counted
};
Histogram MakeHistogram(const std::vector<CycleMeasures>& values, ChartMeasure measure);

// A round step for an axis over `span` (1, 2 or 5 times a power of ten) giving at most six
// intervals; 1 for a span that is not above 0.
double NiceStep(double span);

// The count axis of a histogram: ticks every `step` cycles from 0 to `top`, round numbers that
// reach the highest bar.
struct CountAxis {
    long long top = 1, step = 1;
};
CountAxis CountAxisFor(long long most);

// Which bins carry their label: every one up to 10 bins, every second up to 20, every third
// beyond, always from the first, so that the labels do not crowd one another.
int BinLabelEvery(std::size_t bins);

} // namespace davrenta

#include "popmap/results.h"

#include <cmath>

#include "popmap/sequence.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

double NewAverageTravel(const PopMap& fl) {
    return kDistanceScale * fl.BestTravel / fl.TotalPopulation;
}
double NewAverageServed(const PopMap& fl) {
    return kDistanceScale * fl.BestServedTravel / fl.TotalPopulation;
}
double MaxServed(const PopMap& fl) {
    return IntegerPart(fl.BestServed + 0.5);
}

std::string OnePodCoordinates(const PopMap& fl) {
    return "COORDINATES OF NEW POD (x, y) " + WholeNumberText(fl.NewPodColumn) + ", " +
           WholeNumberText(fl.NewPodLine);
}

std::string TwoPodCoordinates(const PopMap& fl, bool styleB, char br) {
    const std::string first =
        styleB ? "COORDINATES OF NEW POD 1 (x,y)= " : "COORDINATES OF NEW POD 1 (x, y) = ";
    const std::string second =
        styleB ? "COORDINATES OF NEW POD 2 (x,y)= " : "COORDINATES OF NEW POD 2 (x, y) = ";
    return first + WholeNumberText(fl.NewPod1Column) + ", " + WholeNumberText(fl.NewPod1Line) + br +
           second + WholeNumberText(fl.NewPod2Column) + ", " + WholeNumberText(fl.NewPod2Line);
}

// Three or more new PODs, one line each.
std::string SeveralCoordinates(const PopMap& fl, char br) {
    std::string text;
    int q = 0;
    for (const auto& [line, column] : NewPodCells(fl)) {
        if (q > 0)
            text += br;
        text += "COORDINATES OF NEW POD " + std::to_string(++q) +
                " (x,y)= " + WholeNumberText(column) + ", " + WholeNumberText(line);
    }
    return text;
}

std::string MaxServedText(const PopMap& fl, const std::string& averagePrefix, char br) {
    return "MAX SERVED " + FormatPicture(MaxServed(fl), "#######") + br + averagePrefix +
           FormatPicture(NewAverageServed(fl), "0.###");
}

std::string NewAverageText(const PopMap& fl) {
    return "NEW AVG. DIST. TRAVELED " + FormatPicture(NewAverageTravel(fl), "0.###");
}

const char* kMinTravelPods = "OPTIMAL LOCATION FOR NEW PODS TO MINIMIZE TRAVEL FOR POPULATION ";
const char* kMaxServedPods = "OPTIMAL LOCATION FOR NEW PODS TO MAX. NUMBER SERVED AT FACILITY";
const char* kMinMaxPods = "OPTIMAL LOCATION FOR NEW PODS TO MINIMIZE MAX_DISTANCE FOR POPULATION ";

// The one-POD rows show the integer part of the population served, the two-POD rows its plain
// form.
void PodRow(std::vector<std::array<std::string, 4>>& rows, const std::string& name, int column,
            int line, double served, bool wholePart = true) {
    rows.push_back({name, PlainForm(column), PlainForm(line),
                    PlainForm(wholePart ? IntegerPart(served) : served)});
}

} // namespace

namespace {

// A value of the measure as the results show it: the travel as an average distance.
double ShownValue(const PopMap& fl, double value) {
    return fl.PerformanceMeasure == Measure::MinimizeTravel
               ? kDistanceScale * value / fl.TotalPopulation
               : value;
}

// Up to three decimals without a bare trailing point: "100", "0.7", "2.135".
std::string Short(double value) {
    std::string text = FormatPicture(value, "0.###");
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

std::string CellsText(const CellList& cells) {
    std::string text;
    int q = 0;
    for (const auto& [line, column] : cells)
        text += std::string(q++ ? "; " : "") + "line " + std::to_string(line) + ", column " +
                std::to_string(column);
    return text;
}

// A value of the measure as the results word it: the travel as an average distance.
std::string MeasureValueText(const PopMap& fl, double value) {
    switch (fl.PerformanceMeasure) {
    case Measure::MinimizeTravel:
        return "AVG. DIST. TRAVELED " + Short(kDistanceScale * value / fl.TotalPopulation);
    case Measure::MaximumServed:
        return "NUMBER SERVED " + Short(value);
    default:
        return "MAX DISTANCE " + Short(value);
    }
}

} // namespace

std::string ProofText(const PopMap& fl) {
    if (fl.Proven)
        return "PROVEN OPTIMAL";
    return "BEST FOUND IN THE TIME LIMIT, NOT PROVEN OPTIMAL: BOUND ON " +
           MeasureValueText(fl, fl.Bound) + ", GAP " + Short(100 * fl.Gap) + "%";
}

std::string SetProgressText(const PopMap& fl, const SetProgress& p) {
    const std::string best = p.haveBest ? MeasureValueText(fl, p.best) : std::string("none yet");
    return std::to_string(p.pods) + " new PODs: best " + best + "; bound " +
           MeasureValueText(fl, p.bound) + "; gap " +
           (p.haveBest ? FormatPicture(100 * p.gap, "0.0##") + "%" : std::string("-")) + " (" +
           FormatPicture(p.seconds, "0.0") + " s)";
}

PodCountTexts CountTexts(const PopMap& fl, const std::vector<PodCountRow>& rows) {
    PodCountTexts t;
    std::string value;
    switch (fl.PerformanceMeasure) {
    case Measure::MinimizeTravel:
        value = "AVG. DIST. TRAVELED (X SCALE)";
        break;
    case Measure::MaximumServed:
        value = "NUMBER SERVED";
        break;
    default:
        value = "MAX DISTANCE";
        break;
    }
    t.titlelbl = value + " BY NUMBER OF NEW PODS, PLACED TOGETHER AND ONE AT A TIME";
    t.countgrd.push_back({"New PODs", "Together", "One at a time", "Together proven"});
    for (const PodCountRow& row : rows) {
        PodCountTexts::Point point{row.pods, ShownValue(fl, row.optimal), std::nullopt};
        if (row.oneAtATime)
            point.oneAtATime = ShownValue(fl, *row.oneAtATime);
        t.points.push_back(point);
        t.countgrd.push_back({std::to_string(row.pods), Short(point.together),
                              point.oneAtATime ? Short(*point.oneAtATime) : std::string("-"),
                              row.proven ? std::string("yes")
                                         : "no (bound " + Short(ShownValue(fl, row.bound)) + ")"});
    }
    return t;
}

std::string CoverText(const CoverAnswer& cover) {
    const std::string radius = Short(cover.radius);
    if (cover.pods == 0 && cover.proven)
        return "The existing PODs already bring every area cell within " + radius + ".";
    const std::string count =
        std::to_string(cover.pods) + (cover.pods == 1 ? " new POD" : " new PODs");
    if (!cover.proven)
        return "Best found in the time limit: " + count + (cover.pods == 1 ? " brings" : " bring") +
               " every area cell within " + radius + " of a POD; fewer than " +
               std::to_string(cover.lowerBound) + " cannot. " + CellsText(cover.cells) + ".";
    return "Fewest new PODs to bring every area cell within " + radius +
           " of a POD: " + std::to_string(cover.pods) + " (proven). " + CellsText(cover.cells) +
           ".";
}

std::string WithinText(const PopMap& fl, const CoveredPopulation& within) {
    std::string text = std::to_string(within.pods) +
                       (within.pods == 1 ? " new POD brings " : " new PODs bring ") +
                       Short(within.population) + " of " + Short(fl.TotalPopulation) +
                       " people within " + Short(within.radius) + " of a POD";
    text += within.proven ? std::string(" (proven largest). ")
                          : ", not proven largest: bound " + Short(within.bound) + ", gap " +
                                Short(100 * within.gap) + "%. ";
    return text + CellsText(within.cells) + ".";
}

ResultsTexts ResultsFor(const PopMap& fl, MapType maptype, Metric distanceMethod, char br) {
    ResultsTexts t;
    const int n = fl.ExistingPodCount;
    const bool onePod = fl.NewPodCount == 1;
    const int newPods = NewPodsPlaced(fl);
    const bool several = newPods >= 3;
    // The coordinates of the new PODs in the style the measure's two-POD texts use.
    const auto coordinates = [&](bool styleB) {
        return several ? SeveralCoordinates(fl, br) : TwoPodCoordinates(fl, styleB, br);
    };
    if (several)
        t.prooflbl = ProofText(fl);
    const Measure measure = fl.PerformanceMeasure;

    t.result7lbl = "TOTAL POPULATION SERVED = " + StrForm(fl.TotalPopulation) + br +
                   "TOTAL MAP POINTS USED       =" + StrForm(fl.MapPointsUsed);
    t.facgrd.push_back({"POD", "x pos. (col)", "y pos. (row)", "Number Served"});
    switch (MetricCode(distanceMethod)) {
    case 1:
        t.floclbl = "RECTILINEAR CALCULATIONS";
        break;
    case 2:
        t.floclbl = "EUCLIDEAN CALCULATIONS";
        break;
    case 3:
        t.floclbl = "SQUARED EUCLIDEAN CALCULATIONS";
        break;
    default:
        break;
    }
    t.okbut = t.prtbut = maptype == MapType::ExistingService;
    t.ok2but = t.Prt2but = maptype == MapType::NewService;

    if (maptype == MapType::ExistingService) {
        for (int k = 1; k <= n; ++k)
            PodRow(t.facgrd, PlainForm(k), fl.PodColumn[k], fl.PodLine[k], fl.ExistingPodServed[k]);
        if (n > 0)
            t.result2lbl = "PRIOR AVG. DIST. TRAVELED " +
                           FormatPicture(kDistanceScale * fl.PriorAverageDistance, "0.000");
        if (onePod) {
            switch (measure) {
            case Measure::MinimizeTravel:
                t.result1lbl = "OPTIMAL LOCATION FOR NEW POD TO MINIMIZE TRAVEL FOR POPULATION ";
                t.result4lbl = OnePodCoordinates(fl);
                t.result5lbl = NewAverageText(fl);
                break;
            case Measure::MaximumServed:
                if (n > 0) {
                    t.result1lbl = "OPTIMAL LOCATION FOR NEW POD TO MAX. NUMBER SERVED AT FACILITY";
                    t.result4lbl = OnePodCoordinates(fl);
                    t.result5lbl = MaxServedText(fl, "NEW AVG.  DIST. TRAVELED ", br);
                } else {
                    t.result1lbl =
                        "WITH NO EXISTING PODS ANY SINGLE NEW LOCATION IS OPTIMAL FOR THE "
                        "NEW FACILITY TO SERVE THE MAX. NUMBER";
                }
                break;
            case Measure::MinimizeMaxDistance:
                t.result1lbl =
                    "OPTIMAL LOCATION FOR NEW POD TO MINIMIZE MAX_DISTANCE FOR POPULATION ";
                t.result4lbl = OnePodCoordinates(fl);
                t.result6lbl = NewAverageText(fl);
                break;
            default:
                break;
            }
        } else {
            switch (measure) {
            case Measure::MinimizeTravel:
                t.result1lbl = kMinTravelPods;
                t.result4lbl = coordinates(false);
                t.result5lbl = NewAverageText(fl);
                break;
            case Measure::MaximumServed:
                t.result1lbl = kMaxServedPods;
                t.result4lbl = coordinates(true);
                t.result5lbl = MaxServedText(fl, "AVG.  DISTANCE TRAVELED (X SCALE) ", br);
                break;
            case Measure::MinimizeMaxDistance:
                t.result1lbl = kMinMaxPods;
                t.result4lbl = coordinates(true);
                t.result6lbl = NewAverageText(fl);
                break;
            default:
                break;
            }
        }
    } else if (maptype == MapType::NewService) {
        if (several) {
            for (int q = 1; q <= newPods; ++q)
                t.result2lbl += (q > 1 ? std::string(1, br) : std::string()) +
                                "Optimal location of new POD " + std::to_string(q) + " is " +
                                NewPodLabel(q) + ".";
        } else {
            t.result2lbl = onePod ? std::string("Optimal location of new POD is *.")
                                  : std::string("Optimal location of first new POD is *.") + br +
                                        "Optimal location of second new POD is @.";
        }
        t.Savebut = true;
        if (!onePod) {
            switch (measure) {
            case Measure::MinimizeMaxDistance:
                t.result1lbl = kMinMaxPods;
                t.result4lbl = coordinates(true);
                break;
            case Measure::MaximumServed:
                t.result1lbl = kMaxServedPods;
                t.result4lbl = coordinates(true);
                t.result5lbl = MaxServedText(fl, "AVG.  DISTANCE TRAVELED (X SCALE) ", br);
                break;
            case Measure::MinimizeTravel:
                t.result1lbl = kMinTravelPods;
                t.result4lbl = coordinates(true);
                t.result5lbl = "AVERAGE DISTANCE " + FormatPicture(NewAverageTravel(fl), "0.###") +
                               "   MAX DISTANCE " + FormatPicture(fl.BestMaxDistance, "####.###");
                break;
            default:
                break;
            }
        }
        t.opbut = onePod;
        for (int k = 1; k <= n; ++k)
            PodRow(t.facgrd, PlainForm(k), fl.PodColumn[k], fl.PodLine[k], fl.PodServed[k]);
        if (several) {
            int q = 0;
            for (const auto& [line, column] : NewPodCells(fl)) {
                ++q;
                PodRow(t.facgrd, std::string(1, NewPodLabel(q)), column, line, fl.PodServed[n + q],
                       false);
            }
        } else if (onePod) {
            PodRow(t.facgrd, "*", fl.NewPodColumn, fl.NewPodLine, fl.PodServed[n + 1]);
        } else {
            PodRow(t.facgrd, "*", fl.NewPod1Column, fl.NewPod1Line, fl.PodServed[n + 1], false);
            PodRow(t.facgrd, "@", fl.NewPod2Column, fl.NewPod2Line, fl.PodServed[n + 2], false);
        }
    }
    return t;
}

ResultsTexts OpenResults(PopMap& fl, Metric distanceMethod, char br) {
    ResultsTexts t = ResultsFor(fl, fl.maptype, distanceMethod, br);
    ResultsOpened(fl);
    return t;
}

namespace {

using Rows3 = std::vector<std::array<std::string, 3>>;

// Areas and PODs with their numbers in the given form.
Rows3 AreaRows(const PopMap& fl, Rows3 rows, std::string (*form)(double)) {
    for (int a = 1; a <= std::min(fl.AreaCount, kMaxAreas); ++a)
        rows.push_back({form(a), fl.AreaSymbol[a], form(fl.AreaPopulation[a])});
    return rows;
}

Rows3 PodRows(const PopMap& fl, Rows3 rows, std::string (*form)(double)) {
    for (int k = 1; k <= std::min(fl.ExistingPodCount, kMaxExistingPods); ++k)
        rows.push_back({form(k), form(fl.PodColumn[k]), form(fl.PodLine[k])});
    return rows;
}

} // namespace

Rows3 ReviewAreaRows(const PopMap& fl) {
    return AreaRows(fl, {{"Number", "Area", "Population"}}, PlainForm);
}
Rows3 ReviewPodRows(const PopMap& fl) {
    return PodRows(fl, {{"Facility", "x pos. (col)", "y pos. (row)"}}, PlainForm);
}
Rows3 SummaryAreaRows(const PopMap& fl) {
    return AreaRows(fl, {{"", "AREA", "POPULATION"}}, StrForm);
}
Rows3 SummaryPodRows(const PopMap& fl) {
    return PodRows(fl, {{"FACILITY", "x", "y"}}, StrForm);
}

std::vector<std::array<std::string, 3>> OpenDistribution(const PopMap& fl) {
    std::vector<std::array<std::string, 3>> rows;
    for (int a = 1; a <= std::min(fl.AreaCount, kMaxAreas); ++a)
        rows.push_back({fl.AreaSymbol[a], StrForm(fl.AreaCellCount[a]),
                        FormatPicture(fl.AreaCellPopulation[a], "0.00")});
    return rows;
}

std::string MapCaption(const PopMap& fl) {
    switch (MapTypeCode(fl.maptype)) {
    case 1:
        return "INPUT MAP - POPULATION AREAS ONLY - NO FACILITIES MARKED";
    case 2:
        return "INPUT MAP WITH EXISTING FACILITIES MARKED BY NUMBER";
    case 3:
        return "SERVICE AREAS FOR EACH EXISTING FACILITY";
    case 4:
        return "SERVICE AREAS FOR EACH EXISTING FACILITY PLUS NEW FACILITY";
    case 5:
        return "NEAR OPTIMAL (%) LOCATIONS " + StrForm(fl.NearOptimalBound);
    default:
        return {};
    }
}

const std::string& ShownMapLine(const PopMap& fl, int line) {
    switch (MapTypeCode(fl.maptype)) {
    case 2:
        return fl.NumberedMap[line];
    case 3:
        return fl.MarkedServiceMap[line];
    case 4:
        return fl.BestServiceMap[line];
    case 5:
        return fl.NearOptimalMap[line];
    default:
        return fl.MapLine[line];
    }
}

std::string KeptProgressText(const PopMap& fl) {
    if (fl.KeptProgressTotal <= 0)
        return {};
    return StrForm(static_cast<double>(fl.KeptProgressDone) / fl.KeptProgressTotal);
}

} // namespace davrenta

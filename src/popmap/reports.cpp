#include "popmap/reports.h"

#include <string>

#include "popmap/results.h"
#include "popmap/texts.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

void Rulers(Report& r) {
    r.line().tab(19).text(kTensRuler);
    r.line().tab(10).text(kUnitsRuler);
}

double Rounded(double v) {
    return IntegerPart(v + 0.5);
}

std::string Average(const PopMap& fl, double travel) {
    return FormatPicture(kDistanceScale * travel / fl.TotalPopulation, "0.###");
}

// Every line of the results reports starts at print column 10.
ReportLine& At10(Report& r) {
    return r.line().tab(10);
}

void TableHeader(Report& r) {
    At10(r).text("Facility").tab(20).text("Line").tab(30).text("Col.").tab(40).text("Number");
    At10(r).text(" ");
}

} // namespace

Report GridOverlayReport() {
    Report r("courier", 12);
    for (int i = 0; i < 3; ++i)
        r.line();
    Rulers(r);
    for (int i = 1; i <= kMapLines; ++i)
        r.line().tab(5).number(i).tab(10).text(std::string(kMapColumns, '.'));
    for (int i = 0; i < 3; ++i)
        r.line();
    r.line().text("                              Grid for ZEDU Map");
    return r;
}

const char* MapReportName(MapType type) {
    switch (type) {
    case MapType::Numbered:
        return "numbered-map";
    case MapType::ExistingService:
        return "service-map";
    case MapType::NewService:
        return "new-service-map";
    case MapType::NearOptimal:
        return "near-optimal-map";
    case MapType::Input:
        break;
    }
    return "input-map";
}

Report MapReport(const PopMap& fl) {
    Report r("courier", 12);
    r.line();
    switch (MapTypeCode(fl.maptype)) {
    case 1:
        r.line().text("INPUT MAP");
        break;
    case 2:
        r.line().text("INPUT MAP WITH EXISTING FACILITIES");
        break;
    case 3:
        r.line().text("SERVICE AREAS FOR EACH EXISTING FACILITY");
        break;
    case 4:
        r.line().text("SERVICE AREAS FOR EACH EXISTING FACILITY PLUS NEW FACILITY");
        break;
    case 5:
        r.line().text("NEAR OPTIMAL (%) LOCATIONS " + StrForm(fl.NearOptimalBound));
        break;
    default:
        r.line();
        break;
    }
    r.line();
    r.line();
    Rulers(r);
    r.line();
    for (int i = 1; i <= kMapLines; ++i)
        r.line().tab(5).number(i).tab(10).text(ShownMapLine(fl, i));
    return r;
}

namespace {

// "TWO NEW FACILITIES", "3 NEW FACILITIES", ...
std::string NewFacilities(int count) {
    return count == 2 ? "TWO NEW FACILITIES" : std::to_string(count) + " NEW FACILITIES";
}

} // namespace

Report ResultsReport1(const PopMap& fl) {
    Report r("times new roman", 12);
    const bool two = fl.NewPodCount != 1;
    const int newPods = NewPodsPlaced(fl);
    const std::vector<std::pair<int, int>> cells = NewPodCells(fl);
    r.line();
    At10(r).text("EXISTING FACILITIES PLUS OPTIMAL LOCATION OF NEW FACILITY");
    if (fl.maptype == MapType::ExistingService) {
        r.line();
        TableHeader(r);
        for (int k = 1; k <= fl.ExistingPodCount; ++k)
            At10(r)
                .number(k)
                .tab(20)
                .number(fl.PodLine[k])
                .tab(30)
                .number(fl.PodColumn[k])
                .tab(40)
                .number(IntegerPart(fl.ExistingPodServed[k]));
        r.line();
    }
    At10(r).text("PRIOR AVG. DISTANCE TRAVELED (X SCALE) " +
                 FormatPicture(kDistanceScale * fl.PriorAverageDistance, "0.###"));
    r.line();

    // After a two-POD search the report names both new locations.
    const std::string facility = two ? NewFacilities(newPods) : "NEW FACILITY";
    auto lineColumn = [&](const std::string& prefix) {
        if (newPods >= 3) {
            for (std::size_t q = 0; q < cells.size(); ++q)
                At10(r).text(prefix + std::to_string(q + 1) + " " +
                             WholeNumberText(cells[q].first) + ", " +
                             WholeNumberText(cells[q].second));
        } else if (two) {
            At10(r).text(prefix + "1 " + WholeNumberText(fl.NewPod1Line) + ", " +
                         WholeNumberText(fl.NewPod1Column));
            At10(r).text(prefix + "2 " + WholeNumberText(fl.NewPod2Line) + ", " +
                         WholeNumberText(fl.NewPod2Column));
        } else {
            At10(r).text(prefix + WholeNumberText(fl.NewPodLine) + ", " +
                         WholeNumberText(fl.NewPodColumn));
        }
    };
    switch (fl.PerformanceMeasure) {
    case Measure::MinimizeTravel:
        At10(r).text("OPTIMAL LOCATION FOR " + facility + " TO MINIMIZE TRAVEL FOR POPULATION ");
        r.line();
        lineColumn("COORDINATES ");
        At10(r).text("NEW AVG. DIST. TRAVELED " + Average(fl, fl.BestTravel));
        break;
    case Measure::MaximumServed:
        At10(r).text("OPTIMAL LOCATION FOR " + facility + " TO MAX. NUMBER SERVED AT FACILITY");
        r.line();
        lineColumn("COORDINATES ");
        At10(r).text("MAX SERVED " + FormatPicture(Rounded(fl.BestServed), "#######"));
        At10(r).text("NEW AVG.  DIST. TRAVELED " + Average(fl, fl.BestServedTravel));
        break;
    case Measure::MinimizeMaxDistance:
        At10(r).text("OPTIMAL LOCATION FOR " + facility +
                     " TO MINIMIZE MAX_DISTANCE FOR POPULATION ");
        r.line();
        if (newPods >= 3) {
            for (std::size_t q = 0; q < cells.size(); ++q)
                At10(r).text("COORDINATES " + std::to_string(q + 1) + " (X,Y) " +
                             WholeNumberText(cells[q].second) + ", " +
                             WholeNumberText(cells[q].first));
        } else if (two) {
            At10(r).text("COORDINATES 1 (X,Y) " + WholeNumberText(fl.NewPod1Column) + ", " +
                         WholeNumberText(fl.NewPod1Line));
            At10(r).text("COORDINATES 2 (X,Y) " + WholeNumberText(fl.NewPod2Column) + ", " +
                         WholeNumberText(fl.NewPod2Line));
        } else {
            At10(r).text("COORDINATES (X,Y) " + WholeNumberText(fl.NewPodColumn) + ", " +
                         WholeNumberText(fl.NewPodLine));
        }
        break;
    default:
        break;
    }
    if (newPods >= 3)
        At10(r).text(ProofText(fl));
    return r;
}

Report ResultsReport2(const PopMap& fl) {
    Report r("times new roman", 12);
    const bool two = fl.NewPodCount != 1;
    const int newPods = NewPodsPlaced(fl);
    const int n = fl.ExistingPodCount;
    r.line();
    At10(r).text(two ? "EXISTING FACILITIES PLUS OPTIMAL LOCATIONS OF " + NewFacilities(newPods)
                     : std::string("EXISTING FACILITIES PLUS OPTIMAL LOCATION OF NEW FACILITY"));
    r.line();
    const std::string facility = two ? NewFacilities(newPods) : "NEW FACILITY";
    switch (fl.PerformanceMeasure) {
    case Measure::MinimizeTravel:
        At10(r).text("OPTIMAL LOCATION FOR " + facility + " TO MINIMIZE TRAVEL FOR POPULATION ");
        break;
    case Measure::MinimizeMaxDistance:
        At10(r).text("OPTIMAL LOCATION FOR " + facility +
                     " TO MINIMIZE MAX_DISTANCE FOR POPULATION ");
        break;
    case Measure::MaximumServed:
        At10(r).text("OPTIMAL LOCATION FOR " + facility + " TO MAX. NUMBER SERVED AT FACILITY");
        break;
    default:
        break;
    }
    if (newPods >= 3)
        At10(r).text(ProofText(fl));
    r.line();
    if (newPods >= 3) {
        for (int q = 1; q <= newPods; ++q)
            At10(r).text("Optimal location of new facility " + std::to_string(q) + " is " +
                         NewPodLabel(q) + ".");
    } else if (two) {
        At10(r).text("Optimal location of first new facility is *.");
        At10(r).text("Optimal location of second new facility is @.");
    } else {
        At10(r).text("Optimal location of new facility is *.");
    }
    r.line();
    TableHeader(r);
    for (int k = 1; k <= n; ++k)
        At10(r)
            .number(k)
            .tab(20)
            .number(fl.PodLine[k])
            .tab(30)
            .number(fl.PodColumn[k])
            .tab(40)
            .number(Rounded(fl.PodServed[k]));
    auto newRow = [&](const std::string& label, int line, int column, double served) {
        At10(r)
            .text(label)
            .tab(20)
            .text(WholeNumberText(line))
            .tab(30)
            .text(WholeNumberText(column))
            .tab(40)
            .number(Rounded(served));
    };
    if (newPods >= 3) {
        for (int q = 1; q <= newPods; ++q)
            newRow("  " + std::string(1, NewPodLabel(q)), fl.NewPodsLine[q], fl.NewPodsColumn[q],
                   fl.PodServed[n + q]);
    } else if (two) {
        newRow("  *", fl.NewPod1Line, fl.NewPod1Column, fl.PodServed[n + 1]);
        newRow("  @", fl.NewPod2Line, fl.NewPod2Column, fl.PodServed[n + 2]);
    } else {
        newRow("  *", fl.NewPodLine, fl.NewPodColumn, fl.PodServed[n + 1]);
    }
    return r;
}

Report DistributionReport(const PopMap& fl) {
    Report r("times new roman", 12);
    r.line().text("Area").tab(10).text("Number of").tab(25).text("Pop. per");
    r.line().tab(10).text("Map Points").tab(25).text("Point");
    r.line().text(" ");
    for (int a = 1; a <= std::min(fl.AreaCount, kMaxAreas); ++a)
        r.line()
            .text(fl.AreaSymbol[a])
            .tab(10)
            .number(fl.AreaCellCount[a])
            .tab(25)
            .text(FormatPicture(fl.AreaCellPopulation[a], "0.00"));
    return r;
}

} // namespace davrenta

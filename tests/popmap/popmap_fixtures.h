#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/modulestate.h"
#include "popmap/mapfile.h"
#include "popmap/model.h"

namespace davrenta::testing {

struct Problem {
    std::vector<std::pair<std::string, double>> areas;
    std::vector<std::pair<int, int>> pods; // line, column
    std::vector<std::string> lines;
};

// Puts a problem into a state as the input paths do (POD labels, lengths, end line, total).
inline ModuleState MakeState(const Problem& p, int measure = 1, int method = 1, int newPods = 1) {
    ModuleState state;
    state.ModuleFlag = davrenta::Study::PopMap;
    PopMap& fl = state.fl;
    ClearOnModuleEntry(fl);
    ResetPodSymbols(fl);
    fl.AreaCount = static_cast<int>(p.areas.size());
    for (int a = 1; a <= fl.AreaCount; ++a) {
        fl.AreaSymbol[a] = p.areas[a - 1].first;
        fl.AreaPopulation[a] = p.areas[a - 1].second;
    }
    fl.TotalPopulation = SumPopulation(fl);
    fl.ExistingPodCount = static_cast<int>(p.pods.size());
    for (int k = 1; k <= fl.ExistingPodCount; ++k) {
        fl.PodLine[k] = p.pods[k - 1].first;
        fl.PodColumn[k] = p.pods[k - 1].second;
    }
    int end = 0;
    for (int i = 1; i <= static_cast<int>(p.lines.size()); ++i) {
        fl.MapLine[i] = p.lines[i - 1];
        fl.MapLineLength[i] = static_cast<int>(p.lines[i - 1].size());
        if (!p.lines[i - 1].empty())
            end = i;
    }
    fl.MapEndLine = end + 1;
    fl.PerformanceMeasure = static_cast<Measure>(measure);
    fl.NewPodCount = newPods;
    state.DistanceMethod = static_cast<Metric>(method);
    return state;
}

inline const Problem kWorkedExample{{{"A", 100}, {"B", 50}}, {}, {"AAB"}};

// A shipped example read as the method window reads a problem file; the message of a failed
// read, which the caller checks, is left in *failure.
inline ModuleState LoadExampleFile(const std::string& name, std::string* failure) {
    ModuleState s;
    s.ModuleFlag = davrenta::Study::PopMap;
    s.ProblemFileName = std::string(DAVRENTA_EXAMPLES_DIR) + "/" + name;
    if (Status read = ReadMapFile(s); !read)
        *failure = read.message();
    s.ProblemFileName.clear();
    return s;
}

} // namespace davrenta::testing

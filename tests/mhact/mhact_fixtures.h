#pragma once

#include <string>
#include <vector>

#include "mhact/model.h"

namespace davrenta::mhtest {

struct Dept {
    std::string name;
    double x, y;
};

// A problem of these departments with moves[i-1][j-1] from i to j.
inline MhActivityState Layout(const std::vector<Dept>& depts,
                              const std::vector<std::vector<double>>& moves = {}) {
    MhActivityState mh;
    mh.DeptCount = static_cast<int>(depts.size());
    for (std::size_t i = 0; i < depts.size(); ++i) {
        mh.DeptName[i + 1] = depts[i].name;
        mh.DeptX[i + 1] = depts[i].x;
        mh.DeptY[i + 1] = depts[i].y;
    }
    for (std::size_t i = 0; i < moves.size(); ++i)
        for (std::size_t j = 0; j < moves[i].size(); ++j)
            mh.MoveCount(i + 1, j + 1) = moves[i][j];
    return mh;
}

} // namespace davrenta::mhtest

#pragma once

#include <initializer_list>

#include "sfloc/model.h"

namespace davrenta::testing {

struct Facility {
    double x, y, w;
};

// A table holding these facilities in slots 1..n.
inline SingleFacilityState Table(std::initializer_list<Facility> facilities) {
    SingleFacilityState sf;
    std::size_t i = 0;
    for (const Facility& f : facilities) {
        ++i;
        sf.FacilityX[i] = f.x;
        sf.FacilityY[i] = f.y;
        sf.FacilityWeight[i] = f.w;
    }
    sf.ExistingFacilityCount = static_cast<int>(i);
    return sf;
}

} // namespace davrenta::testing

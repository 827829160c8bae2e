#include "popmap/sequence.h"

#include "app/modulestate.h"
#include "popmap/mapfile.h"

namespace davrenta {

NextWindow MapScreenOk(PopMap& fl) {
    switch (fl.maptype) {
    case MapType::Input:
        return NextWindow::Search;
    case MapType::Numbered:
        fl.maptype = MapType::ExistingService;
        return NextWindow::Distribution;
    case MapType::ExistingService:
    case MapType::NewService:
        return NextWindow::Results;
    default:
        return NextWindow::Unknown;
    }
}

NextWindow SummaryOk(PopMap& fl) {
    if (fl.maptype != MapType::Input)
        return NextWindow::None;
    fl.maptype = MapType::Numbered;
    return NextWindow::Map;
}

NextWindow ResultsOk(PopMap& fl) {
    if (fl.maptype != MapType::ExistingService)
        return NextWindow::None;
    fl.maptype = MapType::NewService;
    return NextWindow::Map;
}

void ResultsOpened(PopMap& fl) {
    if (fl.maptype == MapType::NewService)
        fl.maptype = MapType::Input;
}

Status SaveResults(ModuleState& state, bool& podsAdded) {
    if (!podsAdded) {
        if (Status added = AddNewPodsAsExisting(state.fl); !added)
            return added;
        podsAdded = true;
    }
    return WriteMapFile(state);
}

} // namespace davrenta

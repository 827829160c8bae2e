#include "popmap/texts.h"

#include "state/numbers.h"

namespace davrenta {

std::string GridPrintingText(char lineBreak) {
    return std::string("This button will print a 60 column by 50 row grid.  "
                       "This grid is used to input the map coordinates "
                       "for the population and the existing PODs.  "
                       "This grid is normally copied on a laser transparency "
                       "or projected with an LCD projector and superimposed "
                       "over the input map.") +
           std::string(2, lineBreak) + "Press the continue button to proceed.";
}

std::string EntryTensRuler() {
    return std::string(9, ' ') + kTensRuler;
}

std::string AreaCountMessage(int areaCount) {
    return "n=" + StrForm(areaCount);
}
std::string PodCountMessage(int podCount) {
    return "m=" + StrForm(podCount);
}

} // namespace davrenta

#include "sitematch/forms/smremvfrm.h"

#include "shell/windowkit.h"
#include "sitematch/forms/smgridfrm.h"
#include "sitematch/input.h"
#include "sitematch/texts.h"

namespace davrenta {

smremvfrm::smremvfrm(ModuleState& state, QWidget* parent)
    : RemoveWindow(QStringLiteral("smremvfrm"), kRemovePrompt, parent), state_(state) {}

Status smremvfrm::removeFacility(const std::string& number) {
    return RemoveFacility(state_.sm, number);
}

void smremvfrm::openTable() {
    OpenModal<smgridfrm>(state_, this);
}

} // namespace davrenta

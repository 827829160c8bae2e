#include "sfloc/forms/sfremvfrm.h"

#include "sfloc/forms/sfgridfrm.h"
#include "sfloc/model.h"
#include "sfloc/texts.h"
#include "shell/windowkit.h"

namespace davrenta {

sfremvfrm::sfremvfrm(ModuleState& state, QWidget* parent)
    : RemoveWindow(QStringLiteral("sfremvfrm"), kSfRemovePrompt, parent), state_(state) {}

Status sfremvfrm::removeFacility(const std::string& number) {
    return RemoveFacility(state_.sf, number);
}

void sfremvfrm::openTable() {
    OpenModal<sfgridfrm>(state_, this);
}

} // namespace davrenta

#pragma once

#include "app/modulestate.h"
#include "shell/removefrm.h"

namespace davrenta {

// Which facility leaves the table; either button returns to the table window.
class sfremvfrm : public RemoveWindow {
  public:
    explicit sfremvfrm(ModuleState& state, QWidget* parent = nullptr);

  private:
    Status removeFacility(const std::string& number) override;
    void openTable() override;
    ModuleState& state_;
};

} // namespace davrenta

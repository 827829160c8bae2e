#pragma once

#include "app/modulestate.h"
#include "shell/removefrm.h"

namespace davrenta {

// Asks which facility to take out of the table.
class smremvfrm : public RemoveWindow {
  public:
    explicit smremvfrm(ModuleState& state, QWidget* parent = nullptr);

  private:
    Status removeFacility(const std::string& number) override;
    void openTable() override;
    ModuleState& state_;
};

} // namespace davrenta

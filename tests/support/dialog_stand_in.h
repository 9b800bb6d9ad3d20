// Stands in for the destination dialog in tests of other windows: the test
// sees that it was shown, and no real dialog makes d:\\Backup on the test machine.
#pragma once
#include <vector>

#include "ui/form.h"

namespace lz::test {

class DialogStandIn : public FormLogic {
public:
    DialogStandIn() { def_.name = L"frmSoftSaveSetting"; }
    const FormDef& Definition() const override { return def_; }
    void OnEvent(const Event&) override {}
    std::vector<HandlerKey> HandlerKeys() const override { return {}; }

private:
    FormDef def_;
};

}  // namespace lz::test

// Stands in for a window in tests of other windows: the test sees that it was
// loaded or shown, and nothing of the real one runs (no real destination
// dialog makes d:\\Backup on the test machine; no real main window starts the
// scheduler).
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "ui/form.h"

namespace lz::test {

class FormStandIn : public FormLogic {
public:
    explicit FormStandIn(std::wstring name) { def_.name = std::move(name); }
    const FormDef& Definition() const override { return def_; }
    void OnEvent(const Event&) override {}
    std::vector<HandlerKey> HandlerKeys() const override { return {}; }

private:
    FormDef def_;
};

}  // namespace lz::test

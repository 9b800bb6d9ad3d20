// A whole program in memory: fake machine, scripted prompts, every window registered.
#pragma once
#include "core/context.h"
#include "support/fake_machine.h"
#include "support/fake_ui.h"
#include "core/form_registry.h"

namespace lz::test {

struct AppFixture {
    FormRegistry registry;
    FakeMachine machine;
    FakeUi ui{registry};
    AppContext ctx{machine, ui, L""};
    AppFixture() {
        RegisterAllForms(registry);
        // On C: so that drive D: exists only where a test makes it.
        machine.programDir = L"C:\\Lanzhan";
        machine.AddFolder(machine.programDir);
        registry.Attach(ctx);
    }
};

}  // namespace lz::test

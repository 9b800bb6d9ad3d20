#include "support/help_items.h"

#include "support/app_fixture.h"

namespace lz::test {

std::wstring HelpPageOf(const std::wstring& commandLine) {
    const std::wstring marker = L"lanzhan.chm::/";
    const auto at = commandLine.find(marker);
    if (at == std::wstring::npos) return L"";
    std::wstring page = commandLine.substr(at + marker.size());
    const auto end = page.find_first_of(L"\"#");
    return end == std::wstring::npos ? page : page.substr(0, end);
}

std::vector<HelpItem> FindHelpItems() {
    std::vector<HelpItem> items;
    FormRegistry all;
    RegisterAllForms(all);
    for (const std::wstring& form : all.Names()) {
        std::vector<HandlerKey> keys;
        {
            AppFixture probe;
            if (auto logic = probe.registry.Make(form)) keys = logic->HandlerKeys();
        }
        for (const HandlerKey& key : keys) {
            if (key.kind != EventKind::Menu && key.kind != EventKind::Click) continue;
            AppFixture app;
            app.ui.ShowForm(form);
            app.machine.runs.clear();
            Event e{key.kind, key.name};
            e.index = 0;  // the first of an array; ignored by single controls
            app.ui.Fire(form, e);
            for (const auto& run : app.machine.runs)
                if (run.commandLine.find(L"hh.exe") != std::wstring::npos)
                    items.push_back({form, key.name, run.commandLine, HelpPageOf(run.commandLine)});
        }
    }
    return items;
}

}  // namespace lz::test

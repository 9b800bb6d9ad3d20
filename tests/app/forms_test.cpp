// Every window's handler table against its own layout: a handler for a
// control, menu item or timer that the window does not have would never run.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/app_fixture.h"

namespace lz::test {
namespace {

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += c < 128 ? char(c) : '?';
    return s;
}

const ControlDef* FindControl(const FormDef& d, const std::wstring& name) {
    for (const ControlDef& c : d.controls)
        if (c.name == name) return &c;
    return nullptr;
}

bool HasMenu(const FormDef& d, const std::wstring& name) {
    return std::any_of(d.menus.begin(), d.menus.end(), [&](const MenuDef& m) { return m.name == name; });
}

// Why a handler can never be called, or "" when it can.
std::string Fault(const FormDef& d, const HandlerKey& k) {
    if (k.name.empty()) return "";
    if (k.kind == EventKind::Menu)
        return HasMenu(d, k.name) ? "" : "no menu item " + Narrow(k.name);
    if (k.kind == EventKind::TrayMouse)
        return k.name == d.trayName ? "" : "no tray icon " + Narrow(k.name);
    const ControlDef* c = FindControl(d, k.name);
    if (!c) return "no control " + Narrow(k.name);
    if ((k.kind == EventKind::Timer) != (c->kind == Kind::Timer))
        return "timer event and timer control do not match: " + Narrow(k.name);
    return "";
}

TEST(Forms, EveryHandlerNamesSomethingItsWindowHas) {
    AppFixture app;
    const std::vector<std::wstring> names = app.registry.Names();
    ASSERT_GE(names.size(), 5u);
    for (const std::wstring& form : names) {
        std::unique_ptr<FormLogic> logic = app.registry.Make(form);
        ASSERT_TRUE(logic) << Narrow(form);
        const FormDef& d = logic->Definition();
        EXPECT_EQ(d.name, form);
        std::set<std::pair<int, std::wstring>> seen;
        for (const HandlerKey& k : logic->HandlerKeys()) {
            EXPECT_EQ(Fault(d, k), "") << Narrow(form);
            // A second line for the same event would never be reached.
            EXPECT_TRUE(seen.insert({int(k.kind), k.name}).second)
                << Narrow(form) << ": " << Narrow(k.name) << " twice";
        }
        EXPECT_FALSE(seen.empty()) << Narrow(form);
    }
}

TEST(Forms, TheCheckFindsAMisspeltName) {
    FormDef d = NewForm(L"frmX", L"x", 100, 100);
    d.controls.push_back({Kind::Button, L"cmdAdd", -1, L"新增", 0, 0, 10, 10});
    d.controls.push_back({Kind::Timer, L"timNOW", -1, L"", 0, 0, 0, 0});
    d.menus.push_back({L"mnuExit", -1, L"退出", 0});
    EXPECT_EQ(Fault(d, {EventKind::Click, L"cmdAdd"}), "");
    EXPECT_NE(Fault(d, {EventKind::Click, L"cmdAd"}), "");
    EXPECT_EQ(Fault(d, {EventKind::Timer, L"timNOW"}), "");
    EXPECT_NE(Fault(d, {EventKind::Click, L"timNOW"}), "");
    EXPECT_NE(Fault(d, {EventKind::Timer, L"cmdAdd"}), "");
    EXPECT_EQ(Fault(d, {EventKind::Menu, L"mnuExit"}), "");
    EXPECT_NE(Fault(d, {EventKind::Menu, L"mnuExt"}), "");
    EXPECT_NE(Fault(d, {EventKind::TrayMouse, L"cSysTray1"}), "");
}

}  // namespace
}  // namespace lz::test

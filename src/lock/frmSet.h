// "屏幕锁定": the lock settings. Loading it minimises every window and locks
// at once with "Melt"; afterwards another effect can be tried or the
// password changed.
#pragma once
#include <string>

#include "core/context.h"
#include "ui/form.h"

namespace lz {

// The highlight colour of the system's default look, for the label above the list.
constexpr Color kHighlightText = Rgb(49, 106, 197);

class frmSet : public Form<frmSet> {
public:
    explicit frmSet(AppContext& ctx);
    const FormDef& Definition() const override { return def_; }
    static const std::vector<Handler<frmSet>>& Handlers();

    void Form_Load();
    void Form_QueryUnload(const Event& e);
    void Form_Unload();
    void Command1_Click();
    void cmdChangePassword_Click();
    void cmdExit_Click();
    // Minimises every window of the desktop, as Windows+M does.
    void minAll();

private:
    void ShowMain();
    AppContext& ctx_;
    FormDef def_;
};

// Message when a new password could not be stored.
extern const wchar_t* const kPasswordNotSaved;

}  // namespace lz

// "系统工具大全": a grid of the system's built-in tools, a description of the
// one under the pointer, and a status bar that opens the menu of the rest.
#pragma once
#include <string>

#include "core/context.h"
#include "tools/toolcatalogue.h"
#include "ui/form.h"

namespace lz {

// The small picture in front of the status bar's text: the tool-set icon
// the frame's caption points to.
extern const wchar_t* const kToolsStatusPicture;

class frmXPTools : public Form<frmXPTools> {
public:
    explicit frmXPTools(AppContext& ctx);
    const FormDef& Definition() const override { return def_; }
    static const std::vector<Handler<frmXPTools>>& Handlers();

    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void Form_MouseMove();
    void cmdXpTools_Click(int index);
    void cmdXpTools_MouseMove(int index);
    void StatusBar1_PanelClick();
    void mnuTool_Click(const Event& e);  // the menu items of the tool catalogue
    void mnuExit_Click();

    std::wstring SysDir;
    std::wstring WinDir;
    std::wstring OSName;
    int FormWidth = 0;
    int FormHeight = 0;

private:
    void Launch(const Tool& tool);
    void BackToMain();
    AppContext& ctx_;
    FormDef def_;
};

}  // namespace lz

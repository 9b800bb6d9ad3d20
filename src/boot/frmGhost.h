// "GHOST工具+DOSNTFS工具+光盘启动": the choices of c:\boot.ini refreshed every
// second, the entry that starts from the CD without a change in the BIOS
// setup, Notepad on c:\boot.ini, the virtual boot floppy program and help.
// While the window is loaded the file's read-only, hidden and system
// attributes are lifted; closing sets them again.
#pragma once
#include <string>
#include <vector>

#include "core/context.h"
#include "ui/form.h"

namespace lz {

class frmGhost : public Form<frmGhost> {
public:
    explicit frmGhost(AppContext& ctx);
    const FormDef& Definition() const override { return def_; }
    static const std::vector<Handler<frmGhost>>& Handlers();

    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void timeBoot_Timer();
    void cmdCD_Click();
    void cmdMend_Click();
    void cmdMend_MouseMove();
    void cmdFloppy_Click();
    void cmdFloppyHelp_Click();
    void mnuShowHelp_Click();
    void StatusBar1_PanelClick();

    std::wstring SysDir;
    std::wstring WinDir;
    int FormWidth = 0;
    int FormHeight = 0;

private:
    void RunBootBat(bool lift);
    bool AddCdStart();
    void ShowHelp(const wchar_t* page);
    void Tell(const std::wstring& text);
    AppContext& ctx_;
    FormDef def_;
    bool bootManager_ = false;  // Vista and later: the boot menu is not in boot.ini
};

}  // namespace lz

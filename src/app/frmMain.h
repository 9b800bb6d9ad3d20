// The main window "岚栈备份专家 V1.5.3": eight tiles, the description box, the
// spider, and the notification-area icon with its pop-up menu.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/context.h"
#include "ui/form.h"

namespace lz {

// Heading and text shown under the tiles when the pointer is over tile i.
struct TileInfo {
    const wchar_t* title;
    const wchar_t* heading;
    const wchar_t* text;
};
const TileInfo& Tile(int index);

class frmMain : public Form<frmMain> {
public:
    explicit frmMain(AppContext& ctx);
    const FormDef& Definition() const override { return def_; }
    static const std::vector<Handler<frmMain>>& Handlers();

    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void imgPIC_Click(int index);
    void ShowDescription(int index);
    void PicICO_MouseMove();
    void cSysTray1_Mouse(int button, bool dbl);
    void Menu_Click(const Event& e);
    void timAraneid_Timer();
    void imgAraneid_Click();
    void RunNero();
    void OpenHelp(const wchar_t* page);
    // Tile 4 and its menu item: the password first, then the lock settings.
    void OpenLock();

    std::int16_t FormWidth = 0;
    std::int16_t FormHeight = 0;
    std::wstring WinDir;
    bool SpiderUp = false;
    bool SpiderFrame = false;

private:
    void PreloadForms();
    void LoadPictures();
    void ShowTool(const std::wstring& form, bool hideMain);
    void Exit();
    AppContext& ctx_;
    FormDef def_;
};

}  // namespace lz

// "字体信息": the screen's fonts, a sample drawn in a chosen one with its
// metrics and language properties, the backup of the system font folder and
// the install of a font file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/context.h"
#include "fonts/fontsurface.h"
#include "ui/form.h"

namespace lz {

class frmFonts : public Form<frmFonts> {
public:
    explicit frmFonts(AppContext& ctx);
    const FormDef& Definition() const override { return def_; }
    static const std::vector<Handler<frmFonts>>& Handlers();

    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void Command1_Click();  // show the sample
    void Command2_Click();  // metrics
    void Command3_Click();  // language information
    void Command4_Click();  // leave
    void cmdSelectAdd_Click();
    void cmdAddFont_Click();
    void cmdFontBack_Click();

    // The font of the last sample, owned by this window; 0 when none.
    FontHandle CurrentFont = 0;
    std::wstring WinDir;
    std::int16_t FormWidth = 0;
    std::int16_t FormHeight = 0;
    // What the file dialog last gave; it keeps its file name between showings.
    std::wstring cdlFontFileName;

private:
    void ShowFontLanguageInfo();
    void FillFontList();
    std::wstring SelectedFace();
    FontSurface* Surface();
    void BackToMain();

    AppContext& ctx_;
    FormDef def_;
};

}  // namespace lz

// "网络硬盘": a small browser over a fixed list of web storage services. The
// page title goes into the caption and the browser's status text into the
// status bar; a click on the status bar goes back to the main window.
#pragma once
#include <string>

#include "core/context.h"
#include "ui/form.h"
#include "webdrive/browser_port.h"

namespace lz {

// The caption's lead, followed by the page title.
extern const wchar_t* const kWebDriveCaptionLead;
// The notice where no page can be shown, and its button.
std::wstring NoEngineNotice(const std::wstring& address);
extern const wchar_t* const kOpenInDefaultBrowser;

class frmWebDrive : public Form<frmWebDrive> {
public:
    explicit frmWebDrive(AppContext& ctx);
    const FormDef& Definition() const override { return def_; }
    static const std::vector<Handler<frmWebDrive>>& Handlers();

    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void cboAddress_Click();
    void cboAddress_KeyPress(const Event& e);
    void cmdSearch_Click();
    void webPage_TitleChange(const Event& e);
    void webPage_StatusTextChange(const Event& e);
    void webPage_NoticeClick();  // "用默认浏览器打开"
    void statusBar_PanelClick();

    // The address last handed to the browser, or shown in the notice.
    std::wstring Address;
    // The notice with its button stands in place of the page.
    bool NoticeShown = false;

private:
    BrowserPort* Browser();
    void Go(const std::wstring& text);
    AppContext& ctx_;
    FormDef def_;
};

}  // namespace lz

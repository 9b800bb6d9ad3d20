#include "ui/form.h"

namespace lz {

const wchar_t* const kAppTitle = L"岚栈备份专家";

bool IsShellFolderName(const std::wstring& text) {
    for (const wchar_t* n : {L"我的电脑", L"控制面板", L"桌面", L"网上邻居", L"回收站"})
        if (text == n) return true;
    return false;
}

FormDef NewForm(const std::wstring& name, const std::wstring& caption, int clientWidth, int clientHeight,
                Border border) {
    FormDef d;
    d.name = name;
    d.caption = caption;
    d.clientWidth = clientWidth;
    d.clientHeight = clientHeight;
    d.border = border;
    d.minButton = border == Border::FixedSingle || border == Border::Sizable;
    d.maxButton = false;
    return d;
}

namespace {
struct NoProgress : ProgressSink {
    void Show(const ProgressView&) override {}
    bool Cancelled() const override { return false; }
};
}  // namespace

void Ui::RunWithProgress(const std::wstring&, const std::function<void(ProgressSink&)>& task) {
    NoProgress sink;
    task(sink);
}

}  // namespace lz

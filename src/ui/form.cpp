#include "ui/form.h"

namespace lz {
const wchar_t* const kAppTitle = L"岚栈备份专家";

bool IsShellFolderName(const std::wstring& text) {
    for (const wchar_t* n : {L"我的电脑", L"控制面板", L"桌面", L"网上邻居", L"回收站"})
        if (text == n) return true;
    return false;
}
}

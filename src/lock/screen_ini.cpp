#include "lock/screen_ini.h"

#include "core/settings_file.h"

namespace lz {

const wchar_t* const kScreenIniError =
    L"读取设置文件错误,请检查设置文件Screen.ini是否位为程序相同目录";
const wchar_t* const kPasswordNotStorable =
    L"密码中有系统代码页无法保存的字符（或换行），密码没有改变。请换一个密码。";

std::wstring ScreenIniPath(Machine& machine) { return SettingsReadPath(machine, L"Screen.ini"); }

StoredPassword ReadLockPassword(Machine& machine) {
    const std::wstring path = ScreenIniPath(machine);
    auto lines = machine.ReadTextLines(path);
    if (!lines) {
        // A file that is there but cannot be opened is an error; one that was
        // never written only means that no password is set yet.
        const bool exists = machine.FileExists(path);
        return {exists ? PasswordRead::Unreadable : PasswordRead::Missing, L""};
    }
    return {PasswordRead::Ok, lines->empty() ? L"" : lines->back()};
}

PasswordWrite WriteLockPassword(Machine& machine, const std::wstring& password) {
    // A line break would split the password, and the reader keeps only the
    // last part: the lock could then never be opened with what was typed.
    if (password.find_first_of(L"\r\n") != std::wstring::npos || !machine.FitsAnsi(password))
        return PasswordWrite::NotRepresentable;
    switch (WriteSettingsFile(machine, L"Screen.ini", {password})) {
    case WriteResult::Ok: return PasswordWrite::Ok;
    case WriteResult::NotRepresentable: return PasswordWrite::NotRepresentable;
    case WriteResult::Failed: break;
    }
    return PasswordWrite::Failed;
}

void CheckLockPassword(AppContext& ctx) {
    const StoredPassword stored = ReadLockPassword(ctx.machine);
    if (stored.status == PasswordRead::Unreadable) {
        ctx.ui.MsgBox(kScreenIniError, kOkOnly, L"");
        return;
    }
    if (!stored.text.empty()) return;
    // Cancel gives "", which is written as it is: the next opening asks again.
    const std::wstring answer = ctx.ui.InputBox(L"请输入要锁定屏幕时的密码", L"有必要", L"");
    switch (WriteLockPassword(ctx.machine, answer)) {
    case PasswordWrite::Ok: break;
    case PasswordWrite::NotRepresentable: ctx.ui.MsgBox(kPasswordNotStorable, kOkOnly, L""); break;
    case PasswordWrite::Failed: ctx.ui.MsgBox(kScreenIniError, kOkOnly, L""); break;
    }
}

}  // namespace lz

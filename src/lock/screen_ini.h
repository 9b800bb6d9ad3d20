// Screen.ini, where the settings files live (core/settings_file.h): the lock password, one line. Readers take
// the last line; writers replace the whole file with that one line.
#pragma once
#include <optional>
#include <string>

#include "core/context.h"

namespace lz {

std::wstring ScreenIniPath(Machine& machine);

// The stored password ("" when none is set); nullopt when the file cannot be read.
// A missing file is no password yet, not an error.
enum class PasswordRead { Ok, Missing, Unreadable };
struct StoredPassword {
    PasswordRead status = PasswordRead::Unreadable;
    std::wstring text;  // the last line; "" unless Ok
};
StoredPassword ReadLockPassword(Machine& machine);

enum class PasswordWrite {
    Ok,
    NotRepresentable,  // a character the ANSI code page cannot hold, or a line break; nothing written
    Failed,            // the file could not be written; the old one is unchanged
};
PasswordWrite WriteLockPassword(Machine& machine, const std::wstring& password);

// The messages the lock's settings share.
extern const wchar_t* const kScreenIniError;       // the file cannot be read or written
extern const wchar_t* const kPasswordNotStorable;  // refused password

// Makes sure a password is set before the lock settings open: asks for one
// when the file holds none. Says so when the file cannot be read or written;
// the caller goes on regardless.
void CheckLockPassword(AppContext& ctx);

}  // namespace lz

#include "ui/form.h"

namespace lz {
const wchar_t* const kAppTitle = L"岚栈备份专家";
}

// System libraries that the main window does not need (the shell, COM),
// loaded on the first call that needs them rather than at start: under Wine
// they are a good part of the start-up time and of the working set.
#pragma once
#include <windows.h>

namespace lz {

// A function of a system library, loading the library (it then stays
// loaded); nullptr when either is missing. Call sites keep the result in a
// static, so the look-up happens once.
template <class F>
F LateBound(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryW(library);
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// COM for the calling thread, as the shell's calls want it: a single-threaded
// apartment, entered once per thread and left when the process ends.
inline void EnterComOnce() {
    thread_local bool entered = false;
    if (entered) return;
    entered = true;
    using Init = HRESULT(WINAPI*)(void*, DWORD);
    static const auto init = LateBound<Init>(L"ole32.dll", "CoInitializeEx");
    if (init) init(nullptr, 0x2 /* COINIT_APARTMENTTHREADED */);
}

}  // namespace lz

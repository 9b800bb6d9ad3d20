// The thread library of the 32-bit tool chain calls GetTickCount64, which
// Windows XP lacks; importing it would stop the program from starting there.
// This table entry takes the place of the import: the system's function where
// there is one, else the 32-bit counter carried into 64 bits.
#if defined(__i386__)
#include <windows.h>

namespace {

ULONGLONG WINAPI TickCount64() {
    using Fn = ULONGLONG(WINAPI*)();
    static const Fn system =
        reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    if (system) return system();
    static DWORD last = 0;
    static ULONGLONG carried = 0;
    DWORD now = GetTickCount();
    if (now < last) carried += 0x100000000ULL;
    last = now;
    return carried + now;
}

}  // namespace

extern "C" {
ULONGLONG(WINAPI* lz_imp_GetTickCount64)() __asm__("__imp__GetTickCount64@0") = TickCount64;
}
#endif

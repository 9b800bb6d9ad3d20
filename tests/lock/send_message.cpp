// Another program that asks a window to close, as the task bar or a task
// manager would: sends (or posts) one message to a window given by its
// handle, and prints the answer. Linked with nothing of the suite.
// Usage: send_message <window> <message> [wparam] [lparam] [post]; numbers
// in decimal or 0x hexadecimal. Exit code 0 when the message was delivered.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {
unsigned long long Number(const wchar_t* s) { return std::wcstoull(s, nullptr, 0); }
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: send_message <window> <message> [wparam] [lparam] [post]\n");
        return 2;
    }
    HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(argv[1])));
    const UINT message = UINT(Number(argv[2]));
    const WPARAM w = argc > 3 ? WPARAM(Number(argv[3])) : 0;
    const LPARAM l = argc > 4 ? LPARAM(Number(argv[4])) : 0;
    if (!IsWindow(window)) {
        std::fprintf(stderr, "no such window\n");
        return 1;
    }
    if (argc > 5 && std::wcscmp(argv[5], L"post") == 0) return PostMessageW(window, message, w, l) ? 0 : 1;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, w, l, SMTO_NORMAL, 60000, &result)) return 1;
    std::printf("%llu\n", static_cast<unsigned long long>(result));
    return 0;
}

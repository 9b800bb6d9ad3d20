// Times one folder copy under the same Wine as the program runs in:
//   bench_copy copy SOURCE DESTINATION   the suite's CopyFolder
//   bench_copy run COMMAND LINE...       a command, such as xcopy, to its end
// Prints the seconds taken, alone on its line, then what went wrong if anything.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "env/machine_win.h"
#include "seconds_win.h"

int wmain(int argc, wchar_t** argv) {
    if (argc >= 4 && std::wcscmp(argv[1], L"copy") == 0) {
        lz::Win32Machine machine;
        const double begun = Now();
        const lz::CopyReport report = machine.CopyFolder(argv[2], argv[3]);
        std::printf("%.3f\n", Now() - begun);
        if (!report.ok())
            std::printf("copied %d, failed %zu, locked %zu\n", report.copied, report.failed.size(),
                        report.locked.size());
        return report.ok() ? 0 : 1;
    }
    if (argc >= 3 && std::wcscmp(argv[1], L"run") == 0) {
        std::wstring line;
        for (int i = 2; i < argc; ++i) line += (i > 2 ? L" " : L"") + std::wstring(argv[i]);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        si.hStdError = si.hStdOutput;
        PROCESS_INFORMATION pi{};
        const double begun = Now();
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            std::printf("could not start\n");
            return 2;
        }
        WaitForSingleObject(pi.hProcess, INFINITE);
        std::printf("%.3f\n", Now() - begun);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        if (code) std::printf("exit code %lu\n", code);
        return int(code);
    }
    std::fprintf(stderr, "usage: bench_copy copy SOURCE DESTINATION | run COMMAND...\n");
    return 2;
}

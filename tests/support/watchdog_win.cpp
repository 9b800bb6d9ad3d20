// One hung test (a child process that never ends, a prompt nobody answers)
// would hold up the whole Windows test run until ctest's timeout; this names
// it and ends the run after two minutes instead.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

namespace {

std::atomic<DWORD> g_started{0};
std::string g_name;
CRITICAL_SECTION g_lock;

DWORD WINAPI Watch(void*) {
    for (;;) {
        Sleep(1000);
        DWORD start = g_started.load();
        // Signed: a test begun in this very tick has a start one ahead of the clock.
        if (start && LONG(GetTickCount() - start) > 120000) {
            EnterCriticalSection(&g_lock);
            std::fprintf(stderr, "\nwatchdog: %s ran for more than two minutes; ending the run\n", g_name.c_str());
            LeaveCriticalSection(&g_lock);
            std::fflush(stderr);
            ExitProcess(3);
        }
    }
}

class Watchdog : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& info) override {
        EnterCriticalSection(&g_lock);
        g_name = std::string(info.test_suite_name()) + "." + info.name();
        LeaveCriticalSection(&g_lock);
        g_started = GetTickCount() | 1;
    }
    void OnTestEnd(const ::testing::TestInfo&) override { g_started = 0; }
};

struct Install {
    Install() {
        InitializeCriticalSection(&g_lock);
        ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
        CloseHandle(CreateThread(nullptr, 0, Watch, nullptr, 0, nullptr));
    }
} g_install;

}  // namespace

// Files the Windows tests make and clear away.
#pragma once
#include <windows.h>

#include <string>

namespace lz::test {

// Removes a file or a whole folder; it never enters a link, so clearing away
// a loop cannot reach the real folder behind it. Takes plain or \\?\ paths.
void RemoveTree(const std::wstring& path);
// Writes the bytes, making the folders on the way.
void MakeFile(const std::wstring& path, const std::string& bytes = "x");
// A file's bytes; "" when it cannot be read.
std::string FileBytes(const std::wstring& path);

// Under Wine: starts a Unix program (Wine starts those too). Its end and exit
// code do not come through to the Windows side: wait for its result instead.
bool StartUnix(std::wstring commandLine);
// The Unix path Wine gives a Windows path; "" outside Wine.
std::wstring UnixPath(const std::wstring& windowsPath);
// Asks done() until it says yes, for a minute at most (a busy machine is
// slow, never wrong); its last answer.
template <class Done>
bool WaitFor(Done done) {
    for (int i = 0; i < 2400 && !done(); ++i) Sleep(25);
    return done();
}

// Dispatches this thread's messages, one at a time, until done() says yes,
// for a minute unless told otherwise; its last answer. A queue that never
// empties (an animation) cannot keep done() from being asked.
template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs = 60000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return done();
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return true;
}

}  // namespace lz::test

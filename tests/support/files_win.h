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

}  // namespace lz::test

// Files the Windows tests make and clear away.
#pragma once
#include <string>

namespace lz::test {

// Removes a file or a whole folder; it never enters a link, so clearing away
// a loop cannot reach the real folder behind it. Takes plain or \\?\ paths.
void RemoveTree(const std::wstring& path);
// Writes the bytes, making the folders on the way.
void MakeFile(const std::wstring& path, const std::string& bytes = "x");
// A file's bytes; "" when it cannot be read.
std::string FileBytes(const std::wstring& path);

}  // namespace lz::test

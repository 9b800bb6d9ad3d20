// The names of the temporary files a copy writes beside its targets before it
// moves them over. They are fixed in form, so that a later copy can tell the
// leftovers of an interrupted one from anything a user keeps there.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace lz {

// "~lztmp-0000abcd-00000001.tmp": the writing process and a counter, in hex.
std::wstring TempFileName(std::uint32_t processId, std::uint32_t counter);

// The writing process of one of our temporary names; nullopt for any other name.
std::optional<std::uint32_t> TempFileOwner(const std::wstring& name);

// What FindFirstFile looks for; TempFileOwner decides.
extern const wchar_t* const kTempFilePattern;

}  // namespace lz

// What the fuzz targets share: the input as text, and a check that stops the
// run with a message (libFuzzer keeps the input that did it).
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/hostile_corpus.h"

namespace lz::fuzz {

// The input's bytes as UTF-8; bytes that are not become U+0080 to U+00FF, so
// that every input is some text.
inline std::wstring Text(const std::uint8_t* data, std::size_t size) {
    return test::WideFromUtf8(std::string(reinterpret_cast<const char*>(data), size));
}

[[noreturn]] inline void Fail(const char* what, const std::wstring& detail) {
    std::fprintf(stderr, "\n*** %s\n*** %s\n", what, test::Printable(detail).c_str());
    std::abort();
}

#define LZ_REQUIRE(cond, detail) \
    do {                          \
        if (!(cond)) ::lz::fuzz::Fail(#cond, detail); \
    } while (0)

}  // namespace lz::fuzz

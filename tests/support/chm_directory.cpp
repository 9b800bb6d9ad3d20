#include "support/chm_directory.h"

#include <cstdint>
#include <cstring>

namespace lz::test {

namespace {

class Reader {
public:
    Reader(const std::string& bytes, std::uint64_t at, std::uint64_t end) : b_(bytes), at_(at), end_(end) {}
    bool Has(std::uint64_t n) const { return at_ <= end_ && n <= end_ - at_; }
    std::uint64_t Le(int width) {
        std::uint64_t v = 0;
        for (int i = 0; i < width; ++i) v |= std::uint64_t(std::uint8_t(b_[at_ + i])) << (8 * i);
        at_ += width;
        return v;
    }
    // The directory's variable-length numbers: 7 bits a byte, most significant
    // first, the high bit set on every byte but the last.
    std::optional<std::uint64_t> EncInt() {
        std::uint64_t v = 0;
        for (int i = 0; i < 9; ++i) {
            if (!Has(1)) return std::nullopt;
            const std::uint8_t c = std::uint8_t(b_[at_++]);
            v = (v << 7) | (c & 0x7F);
            if (!(c & 0x80)) return v;
        }
        return std::nullopt;
    }
    std::string Take(std::uint64_t n) {
        std::string s = b_.substr(at_, n);
        at_ += n;
        return s;
    }
    bool Tag(const char* tag) {
        if (!Has(4) || std::memcmp(b_.data() + at_, tag, 4) != 0) return false;
        at_ += 4;
        return true;
    }
    void Seek(std::uint64_t at) { at_ = at; }

private:
    const std::string& b_;
    std::uint64_t at_, end_;
};

}  // namespace

std::optional<std::set<std::string>> ChmDirectoryNames(const std::string& bytes) {
    // ITSF header: the directory's offset and length at 0x48 and 0x50.
    Reader head(bytes, 0, bytes.size());
    if (!head.Has(0x58) || !head.Tag("ITSF")) return std::nullopt;
    head.Seek(0x48);
    const std::uint64_t dirAt = head.Le(8), dirLength = head.Le(8);
    if (dirAt > bytes.size() || dirLength > bytes.size() - dirAt) return std::nullopt;

    // ITSP header: the chunk size, the first listing chunk and the chunk count.
    Reader dir(bytes, dirAt, dirAt + dirLength);
    if (!dir.Has(0x54) || !dir.Tag("ITSP")) return std::nullopt;
    dir.Seek(dirAt + 0x08);
    const std::uint64_t headerLength = dir.Le(4);
    dir.Seek(dirAt + 0x10);
    const std::uint64_t chunkSize = dir.Le(4);
    dir.Seek(dirAt + 0x20);
    const std::int32_t first = std::int32_t(dir.Le(4));
    dir.Seek(dirAt + 0x2C);
    const std::uint64_t chunks = dir.Le(4);
    if (chunkSize < 20 || first < 0 || std::uint64_t(first) >= chunks ||
        headerLength + chunks * chunkSize > dirLength)
        return std::nullopt;

    // The listing chunks, in order from the first: a PMGL header, then
    // entries (name, section, offset, length), then free space.
    std::set<std::string> names;
    std::set<std::int64_t> seen;
    for (std::int64_t chunk = first; chunk != -1;) {
        if (chunk < 0 || std::uint64_t(chunk) >= chunks || !seen.insert(chunk).second) return std::nullopt;
        const std::uint64_t at = dirAt + headerLength + std::uint64_t(chunk) * chunkSize;
        Reader c(bytes, at, at + chunkSize);
        if (!c.Tag("PMGL")) return std::nullopt;
        const std::uint64_t freeSpace = c.Le(4);
        c.Le(4);
        c.Le(4);  // the previous chunk
        const std::int32_t next = std::int32_t(c.Le(4));
        if (freeSpace > chunkSize - 20) return std::nullopt;
        Reader entries(bytes, at + 20, at + chunkSize - freeSpace);
        while (entries.Has(1)) {
            const auto length = entries.EncInt();
            if (!length || !entries.Has(*length)) return std::nullopt;
            std::string name = entries.Take(*length);
            if (!entries.EncInt() || !entries.EncInt() || !entries.EncInt()) return std::nullopt;
            names.insert(std::move(name));
        }
        chunk = next;
    }
    return names;
}

}  // namespace lz::test

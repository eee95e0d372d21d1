// Builds WAV files byte by byte for the reader's and writer's tests, and temporary folders to put them in.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace wavtest {

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}
inline void Append16(Bytes& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Append32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A chunk: identifier, stated size (the payload's length unless given), payload, optional pad byte.
inline Bytes Chunk(const std::string& id, const Bytes& payload, int64_t statedSize = -1, bool pad = false) {
    Bytes out;
    Append(out, id);
    Append32(out, static_cast<uint32_t>(statedSize < 0 ? static_cast<int64_t>(payload.size()) : statedSize));
    out.insert(out.end(), payload.begin(), payload.end());
    if (pad) out.push_back(0);
    return out;
}

struct Fmt {
    uint16_t Tag = 1;
    uint16_t Channels = 2;
    uint32_t Rate = 48000;
    uint16_t BlockAlign = 4;
    uint16_t Bits = 16;
    size_t PayloadSize = 16; // 16, 18, 20, 40 ...; bytes past the fields are 0
};

inline Bytes FmtPayload(const Fmt& f) {
    Bytes p;
    // Room for the fields up front: besides saving reallocations, this keeps GCC 12's -Warray-bounds
    // from misreading the growth of a two-byte vector in the inlined appends (a false report).
    p.reserve(std::max<size_t>(f.PayloadSize, 16));
    Append16(p, f.Tag);
    Append16(p, f.Channels);
    Append32(p, f.Rate);
    Append32(p, f.Rate * f.BlockAlign);
    Append16(p, f.BlockAlign);
    Append16(p, f.Bits);
    p.resize(f.PayloadSize, 0);
    return p;
}

// The 40-byte fmt payload of WAVE_FORMAT_EXTENSIBLE (f.Tag is ignored): cbSize 22, the valid bits, a
// channel mask of 0, and the sub-format GUID whose first four bytes are `subFormat`; `guidTail` replaces
// its fixed last 12 bytes when given.
inline Bytes ExtensibleFmtPayload(const Fmt& f, uint32_t subFormat, uint16_t validBits,
                                  const Bytes& guidTail = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA,
                                                           0x00, 0x38, 0x9B, 0x71}) {
    Fmt extensible = f;
    extensible.Tag = 0xFFFE;
    extensible.PayloadSize = 16;
    Bytes p = FmtPayload(extensible);
    Append16(p, 22);
    Append16(p, validBits);
    Append32(p, 0);
    Append32(p, subFormat);
    p.insert(p.end(), guidTail.begin(), guidTail.end());
    return p;
}

// A RIFF/WAVE file of the given chunks; the RIFF size is right unless given.
inline Bytes Riff(const std::vector<Bytes>& chunks, int64_t riffSize = -1) {
    Bytes body;
    for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Bytes out;
    out.reserve(12 + body.size()); // also spares GCC 12 a false overflow warning on the first append
    Append(out, "RIFF");
    Append32(out, static_cast<uint32_t>(riffSize < 0 ? static_cast<int64_t>(body.size() + 4) : riffSize));
    Append(out, "WAVE");
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

inline Bytes Values(const std::vector<int16_t>& values) {
    Bytes out;
    for (int16_t v : values) Append16(out, static_cast<uint16_t>(v));
    return out;
}

// The canonical file: a 16-byte fmt chunk and a data chunk.
inline Bytes Canonical(const Fmt& f, const Bytes& data) {
    return Riff({Chunk("fmt ", FmtPayload(f)), Chunk("data", data)});
}

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvane-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::string Write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(File(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return File(name);
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace wavtest

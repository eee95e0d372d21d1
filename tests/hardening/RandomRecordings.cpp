#include "RandomRecordings.h"

#include <algorithm>
#include <cstdio>

using namespace wavtest;

namespace {

// 32-bit field values that sit on the edges of sizes, counts and signs.
uint32_t ExtremeField(SeededRandom& r) {
    return r.Pick<uint32_t>({0, 1, 2, 3, 44, 0x7F, 0xFF, 0x7FFF, 0x8000, 0xFFFF, 0x7FFFFFFF, 0x80000000,
                             0xFFFFFFF0, 0xFFFFFFFE, 0xFFFFFFFF});
}

// Value counts: mostly small, so that renders stay quick, now and then some thousands.
size_t ValueCount(SeededRandom& r) {
    switch (r.Below(5)) {
    case 0:
        return r.Below(8);
    case 1:
        return r.Below(300);
    case 2:
    case 3:
        return r.Below(5000);
    default:
        return r.Below(40000);
    }
}

Bytes RandomValues(SeededRandom& r, size_t count) {
    std::vector<int16_t> values(count);
    const auto style = r.Below(3);
    for (size_t i = 0; i < count; ++i) {
        if (style == 0) values[i] = int16_t(r.Next());
        if (style == 1) values[i] = int16_t(i * 977); // a wrapping ramp: full scale, every sign
        if (style == 2) values[i] = int16_t(i % 2 ? 32767 : -32768);
    }
    return Values(values);
}

Fmt PlainFmt(SeededRandom& r) {
    Fmt f;
    f.Channels = uint16_t(1 + r.Below(2));
    f.Rate = r.Pick<uint32_t>({8000, 11025, 22050, 44100, 48000, 192000});
    f.BlockAlign = uint16_t(2 * f.Channels);
    f.PayloadSize = r.Pick<size_t>({16, 16, 18, 20});
    return f;
}

// A format chunk with one or more fields off the beaten track.
Fmt OddFmt(SeededRandom& r, std::string& kind) {
    Fmt f = PlainFmt(r);
    if (r.Percent(40)) f.Channels = r.Pick<uint16_t>({0, 3, 5, 6, 17, 255, 65535});
    if (r.Percent(40)) f.Rate = r.Pick<uint32_t>({0, 1, 2, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFE0C0});
    if (r.Percent(30)) f.Bits = r.Pick<uint16_t>({0, 1, 8, 24, 32, 64});
    f.BlockAlign = r.Percent(70) ? uint16_t(f.Channels * (f.Bits / 8)) : uint16_t(ExtremeField(r));
    if (r.Percent(15)) f.Tag = r.Pick<uint16_t>({0, 3, 0xFFFE});
    if (r.Percent(15)) f.PayloadSize = r.Pick<size_t>({0, 2, 14, 40});
    kind += " tag " + std::to_string(f.Tag) + ", " + std::to_string(f.Channels) + " ch, rate " +
            std::to_string(f.Rate) + ", " + std::to_string(f.Bits) + " bits, align " +
            std::to_string(f.BlockAlign) + ", fmt " + std::to_string(f.PayloadSize) + " bytes";
    return f;
}

// The recording before any damage. Every draw is a statement of its own, so that the order of the draws,
// and with it the recording of a seed, does not depend on the compiler's order of evaluation.
RandomRecording MakeBase(SeededRandom& r, const std::vector<Bytes>& corpus) {
    switch (r.Below(14)) {
    case 0:
        return {"header-only 44-byte WAV", Canonical(PlainFmt(r), {})};
    case 1:
        return {"empty file", {}};
    case 2: {
        const Fmt f = PlainFmt(r);
        return {"WAV", Canonical(f, RandomValues(r, ValueCount(r)))};
    }
    case 3: {
        std::string kind = "odd format:";
        const Fmt f = OddFmt(r, kind);
        return {kind, Canonical(f, RandomValues(r, ValueCount(r)))};
    }
    case 4: {
        Bytes data = RandomValues(r, ValueCount(r));
        data.push_back(0x5A);
        const bool pad = r.Percent(50);
        return {pad ? "odd data size, padded" : "odd data size",
                Riff({Chunk("fmt ", FmtPayload(PlainFmt(r))), Chunk("data", data, -1, pad)})};
    }
    case 5: {
        const Bytes data = RandomValues(r, ValueCount(r));
        const int64_t stated = r.Percent(50) ? int64_t(data.size() + 1 + r.Below(100000)) : ExtremeField(r);
        return {"data chunk stating " + std::to_string(stated) + " bytes",
                Riff({Chunk("fmt ", FmtPayload(PlainFmt(r))), Chunk("data", data, stated)})};
    }
    case 6: {
        const uint32_t stated = ExtremeField(r);
        const bool fmtSize = r.Percent(50);
        Bytes fmt = Chunk("fmt ", FmtPayload(PlainFmt(r)), fmtSize ? int64_t(stated) : -1);
        return {(fmtSize ? "fmt chunk stating " : "RIFF stating ") + std::to_string(stated) + " bytes",
                Riff({fmt, Chunk("data", RandomValues(r, ValueCount(r)))}, fmtSize ? -1 : int64_t(stated))};
    }
    case 7: {
        Fmt f = PlainFmt(r);
        f.Channels = 17;
        f.BlockAlign = 34;
        return {"17 channels", Canonical(f, RandomValues(r, ValueCount(r)))};
    }
    case 8: {
        Fmt f = PlainFmt(r);
        f.Rate = r.Pick<uint32_t>({0, 0xFFFFFFFF, 0x80000000, 0xFFFFE0C0});
        return {"rate " + std::to_string(int32_t(f.Rate)), Canonical(f, RandomValues(r, ValueCount(r)))};
    }
    case 9: {
        const Fmt f = PlainFmt(r);
        return {"one value", Canonical(f, RandomValues(r, 1))};
    }
    case 10: {
        Fmt f = PlainFmt(r);
        f.Channels = 2;
        f.BlockAlign = 4;
        return {"stereo with an odd value count", Canonical(f, RandomValues(r, 2 * ValueCount(r) + 1))};
    }
    case 11: {
        Bytes raw(ValueCount(r) * 2 + r.Below(2));
        for (auto& b : raw) b = uint8_t(r.Next());
        return {"raw bytes", raw};
    }
    case 12: {
        const Bytes values = RandomValues(r, ValueCount(r));
        std::vector<Bytes> chunks = {Chunk("LIST", Bytes(r.Below(9), 0x20), -1, r.Percent(50)),
                                     Chunk("fmt ", FmtPayload(PlainFmt(r))), Chunk("data", values)};
        if (r.Percent(50)) std::swap(chunks[1], chunks[2]); // the data before the format
        if (r.Percent(50)) chunks.push_back(Chunk("data", values));
        return {"extra chunks", Riff(chunks)};
    }
    default:
        if (corpus.empty()) return {"empty file", {}};
        const size_t i = r.Below(corpus.size());
        return {"corpus file " + std::to_string(i), corpus[i]};
    }
}

// Damages `data` in one of several ways and says how.
std::string Damage(SeededRandom& r, Bytes& data) {
    const size_t at =
        data.empty()
            ? 0
            : r.Below(data.size() < 64 || r.Percent(60) ? std::min<size_t>(data.size(), 64) : data.size());
    switch (r.Below(6)) {
    case 0:
        if (data.empty()) return "";
        data[at] ^= uint8_t(1u << r.Below(8));
        return " flip@" + std::to_string(at);
    case 1: {
        const uint32_t v = ExtremeField(r);
        const size_t field = at & ~size_t(3);
        for (size_t k = 0; k < 4 && field + k < data.size(); ++k) data[field + k] = uint8_t(v >> (8 * k));
        char text[32];
        std::snprintf(text, sizeof text, " field@%zu=0x%X", field, v);
        return text;
    }
    case 2:
        data.resize(at);
        return " cut@" + std::to_string(at);
    case 3: {
        const size_t n = 1 + r.Below(40);
        for (size_t k = 0; k < n; ++k) data.insert(data.begin() + std::ptrdiff_t(at), uint8_t(r.Next()));
        return " insert" + std::to_string(n) + "@" + std::to_string(at);
    }
    case 4: {
        const size_t n = 1 + r.Below(3);
        for (size_t k = 0; k < n; ++k) data.push_back(uint8_t(r.Next()));
        return " append" + std::to_string(n);
    }
    default:
        if (data.empty()) return "";
        data[at] = uint8_t(r.Next());
        return " byte@" + std::to_string(at);
    }
}

} // namespace

RandomRecording MakeRandomRecording(SeededRandom& random, const std::vector<Bytes>& corpus) {
    RandomRecording recording = MakeBase(random, corpus);
    if (random.Percent(35)) {
        recording.Kind += ", damaged:";
        for (auto n = 1 + random.Below(4); n > 0; --n) recording.Kind += Damage(random, recording.Data);
    }
    return recording;
}

// A small random generator whose sequence is fixed by its seed on every platform and standard library
// (SplitMix64), so that a run of the random-run check is reproduced from its seed and index alone.
#pragma once

#include <cstdint>
#include <initializer_list>

class SeededRandom {
public:
    explicit SeededRandom(uint64_t seed) : state_(seed) {}
    // The generator of run `index` of the check seeded with `seed`.
    static SeededRandom ForRun(uint64_t seed, uint64_t index) {
        SeededRandom mixer(seed ^ ((index + 1) * 0xD1B54A32D192ED03ull));
        return SeededRandom(mixer.Next());
    }

    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 ... n - 1 (0 when n is 0).
    uint64_t Below(uint64_t n) { return n == 0 ? 0 : Next() % n; }
    bool Percent(unsigned percent) { return Below(100) < percent; }
    template <class T> T Pick(std::initializer_list<T> items) { return items.begin()[Below(items.size())]; }

private:
    uint64_t state_;
};

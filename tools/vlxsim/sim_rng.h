// The simulator's own pseudo-random numbers: splitmix64, so that a seed gives
// the same log with every compiler and standard library.
#pragma once

#include <cstdint>

namespace vlxsim {

struct Rng {
    uint64_t state;
};

inline uint64_t rng_next(Rng& r) {
    uint64_t z = (r.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Uniform in [0, 1).
inline double rng_unit(Rng& r) { return static_cast<double>(rng_next(r) >> 11) * (1.0 / 9007199254740992.0); }

// Uniform in [lo, hi).
inline double rng_range(Rng& r, double lo, double hi) { return lo + (hi - lo) * rng_unit(r); }

// Roughly standard normal: the centred sum of four uniforms scaled to unit
// variance; cheap and free of library transcendental functions.
inline double rng_gauss(Rng& r) {
    const double s = rng_unit(r) + rng_unit(r) + rng_unit(r) + rng_unit(r);
    return (s - 2.0) * 1.7320508075688772;
}

// Independent stream for a purpose (satellite, band ...) derived from the seed.
inline Rng rng_stream(uint64_t seed, uint64_t a, uint64_t b = 0) {
    Rng r{seed ^ (a * 0xD1B54A32D192ED03ull) ^ (b * 0x8CB92BA72F3D8DD7ull)};
    rng_next(r);
    return r;
}

}  // namespace vlxsim

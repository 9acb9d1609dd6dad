// The cost floor of a converter's output: `count` fixed fields of 14
// characters with three decimals (the F14.3 of an observation value),
// formatted with std::to_chars into a 64 KiB block and written to `file` in
// whole blocks. bench/run.sh sizes `count` to the bytes of a conversion's
// RINEX output divided by 16 and compares the two times.
//
//   floor FILE COUNT
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: floor FILE COUNT\n");
        return 2;
    }
    const long long count = std::atoll(argv[2]);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::setvbuf(out, nullptr, _IONBF, 0);  // the block below is the only buffer

    constexpr int BLOCK = 64 * 1024;
    constexpr int W = 14;
    static char block[BLOCK];
    int used = 0;
    // Values of the size of pseudoranges in metres, varied so that no two
    // neighbouring fields print alike.
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (long long i = 0; i < count; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const double v = 20000000.0 + static_cast<double>(state >> 40) * 0.001;
        if (used + W > BLOCK) {
            if (std::fwrite(block, 1, static_cast<size_t>(used), out) != static_cast<size_t>(used)) return 1;
            used = 0;
        }
        char tmp[32];
        const std::to_chars_result r = std::to_chars(tmp, tmp + sizeof tmp, v, std::chars_format::fixed, 3);
        const int n = static_cast<int>(r.ptr - tmp);
        char* f = block + used;
        std::memset(f, ' ', static_cast<size_t>(W - n));
        std::memcpy(f + (W - n), tmp, static_cast<size_t>(n));
        used += W;
    }
    if (used > 0 && std::fwrite(block, 1, static_cast<size_t>(used), out) != static_cast<size_t>(used)) return 1;
    return std::fclose(out) == 0 ? 0 : 1;
}

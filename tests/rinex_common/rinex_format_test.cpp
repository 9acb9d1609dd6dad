// Fixed-width RINEX fields: the fast fixed-notation path must give the
// very bytes of printf's conversions, ties and signs included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>
#include <cstdio>
#include <limits>
#include <string>

#include "rinex_common/Rinex_format.h"

namespace {

std::string printf_fixed(long double v, int w, int prec) {
    char b[1024];
    std::snprintf(b, sizeof b, "%*.*Lf", w, prec, v);
    return b;
}

}  // namespace

TEST(RinexFormat, FixedMatchesPrintfForDoublesAndLongDoubles) {
    const long double values[] = {0.0L,       -0.0L,        0.0005L,        0.0015L,  2.5L,       3.5L,
                                  -2.5L,      21234567.123, 111587654.321L, -1234.567, 1.0L / 3.0L, 1e22L,
                                  1e300L,     -1e-9L,       59.9996f,       29.99999809f};
    const int precisions[] = {0, 3, 5, 7, 12};
    for (long double v : values)
        for (int p : precisions) {
            std::string a, b;
            fmt_fixed(a, v, 14, p);
            EXPECT_EQ(a, printf_fixed(v, 14, p)) << static_cast<double>(v) << " prec " << p;
            fmt_fixed(b, static_cast<double>(v), 14, p);
            EXPECT_EQ(b, printf_fixed(static_cast<double>(v), 14, p)) << static_cast<double>(v) << " prec " << p;
        }
    std::string n;
    fmt_fixed(n, std::numeric_limits<double>::quiet_NaN(), 6, 3);
    fmt_fixed(n, std::numeric_limits<double>::infinity(), 6, 3);
    EXPECT_EQ(n, "   nan   inf");
}

TEST(RinexFormat, ZeroFilledAndLeftAdjustedFixed) {
    std::string s;
    fmt_fixed0(s, 5.0, 2, 0);
    fmt_fixed0(s, 12.0, 2, 0);
    fmt_fixed0(s, 123.0, 2, 0);
    fmt_fixed_left(s, 2024.0, 5, 0);
    fmt_fixed_left(s, 123456.0, 5, 0);
    EXPECT_EQ(s, "05121232024 123456");
}

// The integer path of the fixed notation against printf over values of
// every size the records hold and beyond: random bit patterns, exact ties
// at the printed precision (k + 1/2 units, which must round to even),
// values just beside a tie, carries into the integer part, and both signs.
TEST(RinexFormat, FixedMatchesPrintfOverManyValues) {
    uint64_t state = 0x243F6A8885A308D3ull;
    auto next = [&state]() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    std::vector<double> values;
    for (int i = 0; i < 200000; ++i) {
        // Exponents from about 2^-100 to 2^70, random mantissas and signs.
        const uint64_t r = next();
        const uint64_t biased = 1023 - 100 + (r >> 56) % 171;
        uint64_t bits = (next() & ((uint64_t{1} << 52) - 1)) | (biased << 52) | (r & (uint64_t{1} << 63));
        double v;
        std::memcpy(&v, &bits, sizeof v);
        values.push_back(v);
    }
    for (int i = 0; i < 20000; ++i) {
        // Observation-like values: metres, cycles, hertz, dB-Hz.
        const double u = static_cast<double>(next() >> 11) * 0x1p-53;
        values.push_back(2e7 + u * 1e7);
        values.push_back((u - 0.5) * 2e8);
        values.push_back((u - 0.5) * 1e4);
        values.push_back(u * 60);
    }
    for (int k = 0; k < 4000; ++k) {
        // Exact ties and their neighbours at 0..3 decimals, and 9.9995-like carries.
        for (int p = 0; p <= 3; ++p) {
            const double unit = p == 0 ? 1.0 : p == 1 ? 0.5 : p == 2 ? 0.25 : 0.125;
            const double tie = k * unit + unit / 2 * (p == 0 ? 1 : 1);
            values.push_back(tie);
            values.push_back(-tie);
            values.push_back(std::nextafter(tie, 0.0));
            values.push_back(std::nextafter(tie, 1e300));
        }
        values.push_back(k + 0.9995);
        values.push_back(k + 0.0625);
        values.push_back(k + 0.1875);
    }
    values.push_back(0x1p63);
    values.push_back(std::nextafter(0x1p63, 0.0));
    values.push_back(0x1p-90);
    values.push_back(0x1p-91);
    values.push_back(std::numeric_limits<double>::denorm_min());
    values.push_back(-0.0001);
    values.push_back(-0.0);
    int failures = 0;
    for (double v : values)
        for (int p : {0, 1, 2, 3, 5, 7, 9, 10, 12}) {
            std::string a;
            fmt_fixed(a, v, 14, p);
            const std::string want = printf_fixed(static_cast<long double>(v), 14, p);
            if (a != want && ++failures <= 10) ADD_FAILURE() << std::hexfloat << v << " prec " << p << ": " << a << " vs " << want;
        }
    EXPECT_EQ(failures, 0);
}

TEST(RinexFormat, IntegersMatchPrintf) {
    const long long values[] = {0, 1, -1, 9, 10, -4, 123456789, -2147483648LL, 9223372036854775807LL,
                                -9223372036854775807LL - 1};
    for (long long v : values) {
        char b[64];
        std::string a;
        fmt_int(a, v, 6);
        std::snprintf(b, sizeof b, "%6lld", v);
        EXPECT_EQ(a, b);
    }
    std::string z;
    fmt_int0(z, -4, 3);
    fmt_int0(z, 7, 2);
    fmt_int0(z, 123, 2);
    EXPECT_EQ(z, "0-407123");
}

// Fixed-width RINEX fields: the fast fixed-notation path must give the
// very bytes of printf's conversions, ties and signs included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "rinex_obs/Rinex_format.h"

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

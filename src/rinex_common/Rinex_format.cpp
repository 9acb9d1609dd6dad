// Fixed-width RINEX field helpers (see the header).
#include "rinex_common/Rinex_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <system_error>

static void pad_left(std::string& out, int len, int w, char fill) {
    if (len < w) out.append(static_cast<size_t>(w - len), fill);
}

void fmt_right(std::string& out, const std::string& s, int w) {
    pad_left(out, static_cast<int>(s.size()), w, ' ');
    out += s;
}

void fmt_left(std::string& out, const std::string& s, int w) {
    out += s;
    if (static_cast<int>(s.size()) < w) out.append(static_cast<size_t>(w) - s.size(), ' ');
}

void fmt_left_cut(std::string& out, const std::string& s, int w) {
    fmt_left(out, s.size() > static_cast<size_t>(w) ? s.substr(0, static_cast<size_t>(w)) : s, w);
}

void fmt_blanks(std::string& out, int n) {
    if (n > 0) out.append(static_cast<size_t>(n), ' ');
}

// Integers through std::to_chars: the digits of printf's "%lld" without
// the format parsing.
void fmt_int(std::string& out, long long v, int w) {
    char b[32];
    const int n = static_cast<int>(std::to_chars(b, b + sizeof b, v).ptr - b);
    pad_left(out, n, w, ' ');
    out.append(b, static_cast<size_t>(n));
}

void fmt_int0(std::string& out, long long v, int w) {
    char b[32];
    const int n = static_cast<int>(std::to_chars(b, b + sizeof b, v).ptr - b);
    pad_left(out, n, w, '0');
    out.append(b, static_cast<size_t>(n));
}

namespace {

constexpr uint64_t POW10[10] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

// "00" .. "99": two digits per division when printing the integer part.
constexpr char DIGIT_PAIRS[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Fixed notation of a double with at most 9 decimals, exactly as printf's
// "%.*f": the value is m * 2^e2 with integer m, so its integer part and the
// scaled fraction frac * 10^prec / 2^s are integer divisions, and the
// remainder decides the rounding (half to even, as printf and to_chars
// round an exact tie). Handles every normal double below 2^63 whose
// fraction needs no more than 90 binary places, which covers the
// observation values; returns nullptr for the rest (zero is handled, other
// tiny values, huge values, NaN and infinity are not) so that the caller
// falls back to std::to_chars. The text is written backwards and ends at
// `end`; the start is returned. This runs for every number of an epoch
// record, so the usual case (at most three decimals of a value below
// 2^53 with no more than 54 fraction bits) stays in 64-bit arithmetic.
char* exact_fixed(char* end, double v, int prec) {
    if (prec < 0 || prec > 9) return nullptr;
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    const uint64_t mant = bits & ((uint64_t{1} << 52) - 1);
    uint64_t ip = 0;      // integer part
    uint64_t digits = 0;  // the prec decimals as an integer
    if (biased == 0x7ff) return nullptr;
    if (biased == 0) {
        if (mant != 0) return nullptr;  // subnormal
    } else {
        const uint64_t m = mant | (uint64_t{1} << 52);
        const int e2 = biased - 1075;
        if (e2 >= 0) {
            if (e2 > 10) return nullptr;  // 2^63 or more
            ip = m << e2;
        } else {
            const int s = -e2;
            if (s > 90) return nullptr;
            bool up;  // round the last printed digit up
            if (s <= 54 && prec <= 3) {
                // frac < 2^54 and 10^prec <= 1000 < 2^10: the product fits.
                const uint64_t frac = m & ((uint64_t{1} << s) - 1);
                ip = m >> s;
                const uint64_t q = frac * POW10[prec];
                digits = q >> s;
                const uint64_t rest = q & ((uint64_t{1} << s) - 1);
                const uint64_t half = uint64_t{1} << (s - 1);
                const uint64_t last = prec == 0 ? ip : digits;  // the last printed digit decides a tie
                up = rest > half || (rest == half && (last & 1));
            } else {
                using u128 = unsigned __int128;
                const u128 frac = s >= 64 ? u128{m} : u128{m & ((uint64_t{1} << s) - 1)};
                ip = s >= 64 ? 0 : m >> s;
                const u128 q = frac * POW10[prec];
                digits = static_cast<uint64_t>(q >> s);
                const u128 rest = q - (u128{digits} << s);
                const u128 half = u128{1} << (s - 1);
                const uint64_t last = prec == 0 ? ip : digits;
                up = rest > half || (rest == half && (last & 1));
            }
            if (up) {
                if (prec == 0) {
                    ++ip;
                } else if (++digits == POW10[prec]) {
                    digits = 0;
                    ++ip;
                }
            }
        }
    }
    char* p = end;
    if (prec > 0) {
        for (int k = 0; k < prec; ++k) {
            *--p = static_cast<char>('0' + digits % 10);
            digits /= 10;
        }
        *--p = '.';
    }
    while (ip >= 100) {
        const unsigned pair = static_cast<unsigned>(ip % 100);
        ip /= 100;
        p -= 2;
        p[0] = DIGIT_PAIRS[2 * pair];
        p[1] = DIGIT_PAIRS[2 * pair + 1];
    }
    if (ip >= 10) {
        p -= 2;
        p[0] = DIGIT_PAIRS[2 * ip];
        p[1] = DIGIT_PAIRS[2 * ip + 1];
    } else {
        *--p = static_cast<char>('0' + ip);
    }
    if (negative) *--p = '-';
    return p;
}

// Fixed notation of a double into `b`; returns the length, or -1 when the
// text does not fit. std::to_chars gives the bytes of printf's "%.*f" and
// is several times faster; the exact integer path above is faster still.
int fixed_chars(char* b, int size, double v, int prec) {
    if (std::isfinite(v)) {
        const std::to_chars_result r = std::to_chars(b, b + size, v, std::chars_format::fixed, prec);
        if (r.ec == std::errc()) return static_cast<int>(r.ptr - b);
        return -1;
    }
    const int n = std::snprintf(b, static_cast<size_t>(size), "%.*f", prec, v);
    return (n >= 0 && n < size) ? n : -1;
}

// The same for a value that a double does not hold exactly.
void fixed_long(std::string& out, long double v, int w, int prec, char fill) {
    char b[512];
    int n = std::snprintf(b, sizeof b, "%.*Lf", prec, v);
    if (n < 0) return;
    if (n >= static_cast<int>(sizeof b)) {
        std::string big(static_cast<size_t>(n) + 1, '\0');
        std::snprintf(big.data(), big.size(), "%.*Lf", prec, v);
        big.resize(static_cast<size_t>(n));
        pad_left(out, n, w, fill);
        out += big;
        return;
    }
    pad_left(out, n, w, fill);
    out.append(b, static_cast<size_t>(n));
}

void fixed_double(std::string& out, double v, int w, int prec, char fill) {
    char t[48];
    if (const char* p = exact_fixed(t + sizeof t, v, prec)) {
        const int n = static_cast<int>(t + sizeof t - p);
        pad_left(out, n, w, fill);
        out.append(p, static_cast<size_t>(n));
        return;
    }
    char b[128];
    const int n = fixed_chars(b, sizeof b, v, prec);
    if (n < 0) {
        fixed_long(out, v, w, prec, fill);  // very long texts
        return;
    }
    pad_left(out, n, w, fill);
    out.append(b, static_cast<size_t>(n));
}

}  // namespace

bool fixed_into(char* field, int w, double v, int prec) {
    char t[48];
    const char* p = exact_fixed(t + sizeof t, v, prec);
    int n;
    char b[128];
    if (p != nullptr) {
        n = static_cast<int>(t + sizeof t - p);
    } else {
        n = fixed_chars(b, sizeof b, v, prec);
        if (n < 0) return false;
        p = b;
    }
    if (n > w) return false;
    std::memcpy(field + (w - n), p, static_cast<size_t>(n));
    return true;
}

void fmt_fixed(std::string& out, double v, int w, int prec) { fixed_double(out, v, w, prec, ' '); }

void fmt_second(std::string& out, float second, int w) {
    fmt_fixed(out, std::round(static_cast<double>(second) * 1000.0) / 1000.0, w, 7);
}

void fmt_fixed(std::string& out, long double v, int w, int prec) {
    // A value that a double holds exactly prints the same through either.
    const double d = static_cast<double>(v);
    if (static_cast<long double>(d) == v)
        fixed_double(out, d, w, prec, ' ');
    else
        fixed_long(out, v, w, prec, ' ');
}

void fmt_fixed0(std::string& out, double v, int w, int prec) { fixed_double(out, v, w, prec, '0'); }

void fmt_fixed_left(std::string& out, double v, int w, int prec) {
    size_t start = out.size();
    fmt_fixed(out, v, 0, prec);
    size_t n = out.size() - start;
    if (static_cast<int>(n) < w) out.append(static_cast<size_t>(w) - n, ' ');
}

void fmt_sci(std::string& out, double v, int w, int prec) {
    char b[64];
    int n = std::snprintf(b, sizeof b, "%.*e", prec, v);
    if (n < 0) return;
    pad_left(out, n, w, ' ');
    out.append(b, static_cast<size_t>(n));
}

void put_header_line(std::ostream& os, std::string& line, const char* label) {
    if (line.size() < 60) line.append(60 - line.size(), ' ');
    line += label;
    line += '\n';
    os.write(line.data(), static_cast<std::streamsize>(line.size()));
}

void put_line(std::ostream& os, const std::string& line) {
    os.write(line.data(), static_cast<std::streamsize>(line.size()));
    os.put('\n');
}

// Fixed-width RINEX field helpers (see the header).
#include "rinex_obs/Rinex_format.h"

#include <charconv>
#include <cmath>
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

void fmt_int(std::string& out, long long v, int w) {
    char b[32];
    int n = std::snprintf(b, sizeof b, "%lld", v);
    pad_left(out, n, w, ' ');
    out.append(b, static_cast<size_t>(n));
}

void fmt_int0(std::string& out, long long v, int w) {
    char b[32];
    int n = std::snprintf(b, sizeof b, "%lld", v);
    pad_left(out, n, w, '0');
    out.append(b, static_cast<size_t>(n));
}

namespace {

// Fixed notation of a double into `b`; returns the length, or -1 when the
// text does not fit. std::to_chars gives the bytes of printf's "%.*f" and
// is several times faster, which matters for the epoch records.
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

void fmt_fixed(std::string& out, double v, int w, int prec) { fixed_double(out, v, w, prec, ' '); }

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

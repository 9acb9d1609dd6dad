// Fixed-width RINEX field helpers (see the header).
#include "rinex_obs/Rinex_format.h"

#include <cstdio>

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

void fmt_fixed(std::string& out, double v, int w, int prec) {
    char b[512];
    int n = std::snprintf(b, sizeof b, "%.*f", prec, v);
    if (n < 0) return;
    if (n >= static_cast<int>(sizeof b)) {
        std::string big(static_cast<size_t>(n) + 1, '\0');
        std::snprintf(big.data(), big.size(), "%.*f", prec, v);
        big.resize(static_cast<size_t>(n));
        fmt_right(out, big, w);
        return;
    }
    pad_left(out, n, w, ' ');
    out.append(b, static_cast<size_t>(n));
}

void fmt_fixed(std::string& out, long double v, int w, int prec) {
    char b[512];
    int n = std::snprintf(b, sizeof b, "%.*Lf", prec, v);
    if (n < 0) return;
    if (n >= static_cast<int>(sizeof b)) {
        std::string big(static_cast<size_t>(n) + 1, '\0');
        std::snprintf(big.data(), big.size(), "%.*Lf", prec, v);
        big.resize(static_cast<size_t>(n));
        fmt_right(out, big, w);
        return;
    }
    pad_left(out, n, w, ' ');
    out.append(b, static_cast<size_t>(n));
}

void fmt_fixed0(std::string& out, double v, int w, int prec) {
    char b[512];
    int n = std::snprintf(b, sizeof b, "%.*f", prec, v);
    if (n < 0 || n >= static_cast<int>(sizeof b)) {
        fmt_fixed(out, v, w, prec);
        return;
    }
    pad_left(out, n, w, '0');
    out.append(b, static_cast<size_t>(n));
}

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

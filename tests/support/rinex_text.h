// Reads RINEX observation and navigation files back as text, by their fixed
// columns, the way a user's positioning program would: for end-to-end checks
// of what the converter wrote. Versions 3.05 and 4.xx; "D" or "E" exponents.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/files.h"

namespace rnxtext {

inline const double NONE = std::nan("");

// The number in the columns [start, start + width) of a line (start counted
// from 0); NaN when the field is blank or lies beyond the end of the line.
inline double field(const std::string& line, size_t start, size_t width) {
    if (start >= line.size()) return NONE;
    std::string s = line.substr(start, width);
    for (char& c : s)
        if (c == 'D' || c == 'd') c = 'E';
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return NONE;
    char* end = nullptr;
    const double v = std::strtod(s.c_str() + b, &end);
    if (end == s.c_str() + b) return NONE;
    return v;
}

inline bool starts_with(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

// The records of a file: everything after END OF HEADER ("?" without one).
inline std::string body(const std::string& text) {
    const size_t end = text.find("END OF HEADER\n");
    return end == std::string::npos ? "?" : text.substr(end + 14);
}

// Whole days from 6 January 1980 to a calendar date (proleptic Gregorian).
inline int64_t days_since_1980_01_06(int y, int m, int d) {
    static const int before_month[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    auto leap = [](int yy) { return (yy % 4 == 0 && yy % 100 != 0) || yy % 400 == 0; };
    int64_t days = 0;
    for (int yy = 1980; yy < y; ++yy) days += leap(yy) ? 366 : 365;
    for (int yy = y; yy < 1980; ++yy) days -= leap(yy) ? 366 : 365;
    days += before_month[m - 1] + ((m > 2 && leap(y)) ? 1 : 0) + (d - 1);
    return days - 5;
}

// A calendar instant in some time scale, as whole seconds since 1980-01-06
// 00:00:00 of that scale plus a fraction.
struct Instant {
    int64_t sec = 0;
    double frac = 0.0;
};

inline Instant instant(int y, int mo, int d, int h, int mi, double s) {
    Instant t;
    const double whole = std::floor(s);
    t.sec = days_since_1980_01_06(y, mo, d) * 86400 + h * 3600 + mi * 60 + static_cast<int64_t>(whole);
    t.frac = s - whole;
    return t;
}

// Seconds from `ref` (whole seconds of the same scale) to t.
inline double since(const Instant& t, int64_t ref) { return static_cast<double>(t.sec - ref) + t.frac; }

// ------------------------------------------------------------ observations

struct ObsEpoch {
    Instant time;       // epoch of the record (the file's time system)
    double clock = NONE;  // receiver clock offset field, s
    // Per satellite ("G03"): the values in the order of its system's
    // observation types (NaN where blank) and the loss-of-lock digits.
    std::map<std::string, std::vector<double>> values;
    std::map<std::string, std::vector<int>> lli;
};

struct ObsFile {
    std::map<char, std::vector<std::string>> types;  // per system letter
    double approx[3] = {NONE, NONE, NONE};
    int leap_seconds = -1;
    std::string time_system;  // of TIME OF FIRST OBS
    std::vector<ObsEpoch> epochs;
    std::string error;  // first thing that could not be read

    // Index of a code among its system's types, -1 when the file has none.
    int index(char sys, const std::string& code) const {
        const auto it = types.find(sys);
        if (it == types.end()) return -1;
        for (size_t k = 0; k < it->second.size(); ++k)
            if (it->second[k] == code) return static_cast<int>(k);
        return -1;
    }
};

// The value of code `k` (an index from ObsFile::index) of a satellite in an
// epoch; NaN when absent.
inline double obs_value(const ObsEpoch& e, const std::string& sat, int k) {
    const auto it = e.values.find(sat);
    if (k < 0 || it == e.values.end() || static_cast<size_t>(k) >= it->second.size()) return NONE;
    return it->second[k];
}

inline ObsFile read_obs(const std::string& text) {
    ObsFile f;
    const std::vector<std::string> ls = testfiles::lines_of(text);
    size_t i = 0;
    char cont_sys = 0;  // system of a "SYS / # / OBS TYPES" continuation line
    for (; i < ls.size(); ++i) {
        const std::string& l = ls[i];
        const std::string label = l.size() > 60 ? l.substr(60) : "";
        if (starts_with(label, "END OF HEADER")) {
            ++i;
            break;
        }
        if (starts_with(label, "SYS / # / OBS TYPES")) {
            if (l[0] != ' ') cont_sys = l[0];
            // Up to 13 codes per line, each a blank and three characters from column 8.
            for (size_t c = 7; c + 3 <= 58 && c + 3 <= l.size(); c += 4) {
                const std::string code = l.substr(c, 3);
                if (code != "   ") f.types[cont_sys].push_back(code);
            }
        } else if (starts_with(label, "APPROX POSITION XYZ")) {
            for (int k = 0; k < 3; ++k) f.approx[k] = field(l, 14 * k, 14);
        } else if (starts_with(label, "TIME OF FIRST OBS")) {
            f.time_system = l.substr(48, 3);
        } else if (starts_with(label, "LEAP SECONDS")) {
            f.leap_seconds = static_cast<int>(field(l, 0, 6));
        }
    }
    while (i < ls.size()) {
        const std::string& l = ls[i++];
        if (l.empty()) continue;
        if (l[0] != '>' || l.size() < 35) {
            f.error = "unexpected line: " + l;
            return f;
        }
        const int flag = static_cast<int>(field(l, 31, 1));
        const int n = static_cast<int>(field(l, 32, 3));
        if (flag > 1) {  // event records: header lines follow, no observations
            i += n;
            continue;
        }
        ObsEpoch e;
        e.time = instant(static_cast<int>(field(l, 2, 4)), static_cast<int>(field(l, 7, 2)),
                         static_cast<int>(field(l, 10, 2)), static_cast<int>(field(l, 13, 2)),
                         static_cast<int>(field(l, 16, 2)), field(l, 18, 11));
        e.clock = field(l, 41, 15);
        for (int k = 0; k < n && i < ls.size(); ++k, ++i) {
            const std::string& s = ls[i];
            const std::string sat = s.substr(0, 3);
            const size_t count = f.types[s[0]].size();
            std::vector<double> v(count, NONE);
            std::vector<int> lli(count, 0);
            // Each observation: F14.3, then the loss-of-lock and strength digits.
            for (size_t c = 0; c < count; ++c) {
                v[c] = field(s, 3 + 16 * c, 14);
                const double d = field(s, 17 + 16 * c, 1);
                lli[c] = std::isnan(d) ? 0 : static_cast<int>(d);
            }
            e.values[sat] = std::move(v);
            e.lli[sat] = std::move(lli);
        }
        f.epochs.push_back(std::move(e));
    }
    return f;
}

// -------------------------------------------------------------- navigation

// One ephemeris record: its satellite, its RINEX 4 message type (empty in
// RINEX 3.05, which has no record header line), the date of its epoch line,
// and every value field: v[0..2] the three clock fields of the epoch line,
// then four per broadcast-orbit line (orbit line k, field f at
// v[3 + 4 * (k - 1) + f]), NaN where a field is blank or missing.
struct NavRecord {
    char sys = 0;
    int prn = 0;
    std::string type;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    std::vector<double> v;

    double at(size_t k) const { return k < v.size() ? v[k] : NONE; }
    Instant epoch() const { return instant(year, month, day, hour, minute, second); }
};

// Every ephemeris record of a RINEX 3.05 or 4.xx navigation file; records
// of other kinds (RINEX 4 "> STO", "> ION", "> EOP") are passed over.
inline std::vector<NavRecord> read_nav(const std::string& text) {
    std::vector<NavRecord> out;
    const std::vector<std::string> ls = testfiles::lines_of(text);
    size_t i = 0;
    while (i < ls.size() && ls[i].find("END OF HEADER") == std::string::npos) ++i;
    ++i;
    bool v4_eph = true;  // RINEX 3.05 files hold ephemerides only
    std::string type;
    for (; i < ls.size(); ++i) {
        const std::string& l = ls[i];
        if (starts_with(l, "> ")) {
            v4_eph = starts_with(l, "> EPH");
            type = v4_eph && l.size() > 10 ? l.substr(10) : "";
            type.erase(0, type.find_first_not_of(' '));
            continue;
        }
        if (!v4_eph || l.size() < 23 || l[0] == ' ') continue;
        NavRecord r;
        r.sys = l[0];
        r.prn = static_cast<int>(field(l, 1, 2));
        r.type = type;
        r.year = static_cast<int>(field(l, 4, 4));
        r.month = static_cast<int>(field(l, 9, 2));
        r.day = static_cast<int>(field(l, 12, 2));
        r.hour = static_cast<int>(field(l, 15, 2));
        r.minute = static_cast<int>(field(l, 18, 2));
        r.second = field(l, 21, 2);
        for (int k = 0; k < 3; ++k) r.v.push_back(field(l, 23 + 19 * k, 19));
        while (i + 1 < ls.size() && starts_with(ls[i + 1], "    ")) {
            ++i;
            for (int k = 0; k < 4; ++k) r.v.push_back(field(ls[i], 4 + 19 * k, 19));
        }
        out.push_back(std::move(r));
        type.clear();
    }
    return out;
}

}  // namespace rnxtext

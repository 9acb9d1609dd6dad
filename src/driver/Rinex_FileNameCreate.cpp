// RINEX long file names: the start time, data-frequency and file-period
// fields from the receiver dates and the data interval, and the checked
// name SSSSMRCCC_S_YYYYDDDHHMM_PPP[_FFF][_TT.rnx] built from them.
#include "driver/Rinex_FileNameCreate.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "decode/Decode_func.h"

namespace {

// A value in `digits` zero-filled decimal digits.
std::string zero_filled(long long v, int digits) {
    char txt[32];
    std::snprintf(txt, sizeof txt, "%0*lld", digits, v);
    return txt;
}

// The integer part of x + 0.5 in double precision, held within +-lim so
// that no conversion or later arithmetic overflows (not a number gives 0).
long long rounded(double x, double lim) {
    double r = std::trunc(x + 0.5);
    if (r != r) return 0;
    if (r > lim) r = lim;
    if (r < -lim) r = -lim;
    return static_cast<long long>(r);
}

// A date field truncated toward zero, held within the range of int.
int truncated(float x) {
    double r = std::trunc(static_cast<double>(x));
    if (r != r) return 0;
    if (r > 2.0e9) return 2000000000;
    if (r < -2.0e9) return -2000000000;
    return static_cast<int>(r);
}

// Seconds from the start of year 0 (proleptic Gregorian) of a date whose
// six fields are already rounded (and held within +-1e9). A damaged month
// still gives a time: one above 12 counts the whole year, one below 1 none
// of it; the day is counted as it stands.
int64_t seconds_since_year0(const long long f[6]) {
    const int64_t month_start = f[1] > 12 ? days_from_civil(f[0] + 1, 1, 1)
                                          : days_from_civil(f[0], f[1] < 1 ? 1 : f[1], 1);
    const int64_t days = month_start - days_from_civil(0, 1, 1) + f[2] - 1;
    return days * SECONDS_PER_DAY + f[3] * 3600 + f[4] * 60 + f[5];
}

}  // namespace

void get_RINEX_long_file_name_time(const float* date, int* out) {
    const int y = truncated(date[0]);
    const int m = truncated(date[1]);
    // Without a receiver date (month 0) or with a damaged one there is no
    // day of year: refuse the long name rather than guess.
    if (m < 1 || m > 12) throw std::string("No receiver date in the log for the long file name");
    out[0] = y;
    const int d = truncated(date[2]);
    // A damaged day far out of range still gives a day of year that the
    // name check refuses; keep the sum within int.
    const int day = d > 1000 ? 1000 : d < -1000 ? -1000 : d;
    out[1] = day + static_cast<int>(days_from_civil(y, m, 1) - days_from_civil(y, 1, 1));
    out[2] = truncated(date[3]);
    out[3] = truncated(date[4]);
}

std::string make_RINEX_data_freq(float seconds) {
    const double s = seconds;
    if (s < 60) return zero_filled(rounded(s, 1e15), 2) + "S";
    if (s < 3600) return zero_filled(rounded(s / 60, 1e15), 2) + "M";
    if (s < 86400) return zero_filled(rounded(s / 3600, 1e15), 2) + "H";
    return "00U";  // a day or more, or not a number
}

std::string make_RINEX_file_duration(const float* first, const float* last, float interval) {
    long long a[6], b[6];
    for (int i = 0; i < 6; ++i) {
        a[i] = rounded(first[i], 1e9);
        b[i] = rounded(last[i], 1e9);
    }
    // A first epoch later than the last wraps to a very large span.
    const uint64_t D = static_cast<uint64_t>(seconds_since_year0(b) - seconds_since_year0(a)) +
                       static_cast<uint64_t>(rounded(interval, 1e15));
    if (D == 900) return "15M";
    if (D <= 3599 && D % 60 == 0) return zero_filled(static_cast<long long>(D / 60), 2) + "M";
    if (D <= 86399 && D % 3600 == 0) return zero_filled(static_cast<long long>(D / 3600), 2) + "H";
    if (D == 86400) return "01D";
    if (D == 31536000 || D == 31622400) return "01Y";
    return "00U";
}

std::string make_RINEX_long_file_name(std::string site, std::string monument, std::string receiver,
                                      std::string country, std::string source, int year, int dayOfYear,
                                      int hour, int minute, std::string period, std::string frequency,
                                      std::string type) {
    for (std::string* t : {&site, &monument, &receiver, &country, &source, &period, &frequency, &type})
        for (char& c : *t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    // The checks in this order; the first that fails is the message.
    if (site.size() != 4) throw std::string("Wrong site code length");
    if (monument.size() != 1) throw std::string("Wrong monument number length");
    if (receiver.size() != 1) throw std::string("Wrong receiver number length");
    if (country.size() != 3) throw std::string("Wrong country code length");
    if (source.size() != 1) throw std::string("Wrong data source length");
    if (source != "R" && source != "S" && source != "U") throw std::string("Wrong data source");
    if (year < 0 || year > 9999) throw std::string("Wrong year");
    if (dayOfYear < 1 || dayOfYear > 366) throw std::string("Wrong day of year");
    if (hour < 0 || hour > 23) throw std::string("Wrong hour");
    if (minute < 0 || minute > 59) throw std::string("Wrong minute");
    if (period.size() != 3) throw std::string("Wrong file period length");
    if (type.size() != 2) throw std::string("Wrong data type length");
    const bool observation = type[1] == 'O';
    if (observation && frequency.size() != 3) throw std::string("Wrong data frequency length");

    std::string name = site + monument + receiver + country + "_" + source + "_" + zero_filled(year, 4) +
                       zero_filled(dayOfYear, 3) + zero_filled(hour, 2) + zero_filled(minute, 2) + "_" +
                       period;
    if (observation) name += "_" + frequency;
    if (type[1] == 'N') return name;  // the navigation stem: the makers add the endings
    return name + "_" + type + ".rnx";
}

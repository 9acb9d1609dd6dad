// Ordering of the ephemeris stores before they are written: by reference
// time, and within one reference time by satellite, so that the record
// writers, which print in store order, list the ephemerides that way.
//
// The time is the full reference time: toe with the record's week (GPS,
// QZSS, Galileo, BeiDou, NavIC), tb with its day (GLONASS), t0 with its
// day and week (SBAS), so that a log crossing a week or a GLONASS day keeps
// the old week's records before the new week's.
//
// The order is defined by two (Galileo: three) rounds of neighbour
// exchanges: round 1 exchanges a and b when time(a) > time(b) and
// time(a) != 0, round 2 when sat(a) > sat(b) at equal non-zero times
// (SBAS: its own conditions). The stable sorts below give exactly the
// result of those rounds without their quadratic cost; only an SBAS store
// holding a record of satellite 0 falls back to the exchanges of its first
// round, whose result has no simpler form.
#include "rinex_nav/Sat_type.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "decode/Decode_func.h"
#include "decode/aux_decoder_func.h"
#include "stores/VLX_objects.h"

namespace {

// Records 0 .. count-1 are ordered, never more than the store holds.
template <class Rec>
int filled(int32_t count, const std::vector<Rec>& store) {
    return static_cast<int>(std::clamp<int64_t>(count, 0, static_cast<int64_t>(store.size())));
}

// Round 1 by a signed time key. Records with a positive time move behind
// every other record and end in ascending time. A record with time 0 never
// moves past a neighbour and stops negative times that come from the other
// side; so the non-positive records keep their places relative to the
// zeros, and each run of negative times between two zeros ends ascending.
// Equal times keep their stored order throughout.
template <class Rec, class Time>
void order_by_time(Rec* s, int n, Time time) {
    Rec* const positive = std::stable_partition(s, s + n, [&](const Rec& r) { return time(r) <= 0; });
    auto earlier = [&](const Rec& a, const Rec& b) { return time(a) < time(b); };
    std::stable_sort(positive, s + n, earlier);
    for (Rec* p = s; p < positive;) {
        if (time(*p) == 0) {
            ++p;
            continue;
        }
        Rec* q = p;
        while (q < positive && time(*q) != 0) ++q;
        std::stable_sort(p, q, earlier);
        p = q;
    }
}

// Round 2: within each run of neighbours with one non-zero time,
// ascending satellite number (signed), equal numbers in stored order.
template <class Rec, class Time>
void order_by_satellite(Rec* s, int n, Time time) {
    auto lower_sv = [](const Rec& a, const Rec& b) {
        return static_cast<int32_t>(a.SV) < static_cast<int32_t>(b.SV);
    };
    for (int i = 0; i < n;) {
        int j = i + 1;
        while (j < n && time(s[j]) == time(s[i])) ++j;
        if (time(s[i]) != 0 && j - i > 1) std::stable_sort(s + i, s + j, lower_sv);
        i = j;
    }
}

template <class Rec, class Time>
void sort_time_then_satellite(std::vector<Rec>& store, int32_t count, Time time) {
    const int n = filled(count, store);
    if (n < 2) return;
    order_by_time(store.data(), n, time);
    order_by_satellite(store.data(), n, time);
}

// Full time of ephemeris in seconds: the record's week (of toe; BeiDou
// weeks for BeiDou) and toe.
int64_t full_toe(const Kepler_head& r) { return static_cast<int64_t>(r.week) * SECONDS_PER_WEEK + r.toe; }
auto toe_of = [](const auto& r) { return full_toe(r); };

// Full GLONASS reference time in seconds: tb on the day that N4 and the
// day number name, in Moscow time as tb. A record without a usable day is
// keyed by tb alone, before every dated record.
int64_t glo_full_time(const GLO_Ephemeris& r) {
    const int64_t day = glo_reference_day(r.N4, r.day_number);
    return day < 0 ? r.tb : day * SECONDS_PER_DAY + r.tb;
}

// Neighbour exchanges until a round leaves the store unchanged (further
// rounds could not change it either).
template <class Rec, class Swap>
void exchange_rounds(Rec* s, int n, Swap should_swap) {
    for (int round = 0; round < n; ++round) {
        bool moved = false;
        for (int j = 0; j + 1 < n; ++j)
            if (should_swap(s[j], s[j + 1])) {
                std::swap(s[j], s[j + 1]);
                moved = true;
            }
        if (!moved) break;
    }
}

}  // namespace

void sort_GPS_ephemeris() {
    forget_ephemeris_keys();
    sort_time_then_satellite(GPS_Eph, GPS_SV_index, toe_of);
}
void sort_QZSS_ephemeris() {
    forget_ephemeris_keys();
    sort_time_then_satellite(QZSS_Eph, QZSS_SV_index, toe_of);
}
void sort_BDS_ephemeris() {
    forget_ephemeris_keys();
    sort_time_then_satellite(BDS_Eph, BDS_SV_index, toe_of);
}
void sort_NavIC_ephemeris() {
    forget_ephemeris_keys();
    sort_time_then_satellite(NavIC_Eph, NavIC_SV_index, toe_of);
}
void sort_GLO_ephemeris() {
    forget_ephemeris_keys();
    sort_time_then_satellite(GLO_Eph, GLO_SV_index, glo_full_time);
}

// Galileo adds a third round: within every run of neighbours of one
// (non-zero) satellite and one full reference time, the records whose
// data-source bit 0 (I/NAV E1-B) is clear, the F/NAV ones, come first.
// A run ends where the time changes, also when the satellite stays, so
// that the times keep rising.
void sort_GAL_ephemeris() {
    forget_ephemeris_keys();
    const int n = filled(GAL_SV_index, GAL_Eph);
    if (n < 2) return;
    sort_time_then_satellite(GAL_Eph, n, toe_of);
    GAL_Ephemeris* const s = GAL_Eph.data();
    for (int i = 0; i < n;) {
        int j = i + 1;
        while (j < n && s[j].SV == s[i].SV && full_toe(s[j]) == full_toe(s[i])) ++j;
        if (s[i].SV != 0 && j - i > 1)
            std::stable_partition(s + i, s + j,
                                  [](const GAL_Ephemeris& r) { return (r.data_sources & 1) == 0; });
        i = j;
    }
}

// SBAS: ascending SBAS time, then satellite at equal times. A record of
// satellite 0 never moves towards the end in the first round and so can
// hold others back; only then is the first round run as exchanges (on
// small keys, the records are moved once at the end). The second round is
// a stable sort by satellite within each run of equal times.
void sort_SBAS_ephemeris() {
    forget_ephemeris_keys();
    const int n = filled(SBAS_SV_index, SBAS_Eph);
    if (n < 2) return;
    struct Key {
        double T;
        uint8_t SV;
        int at;
    };
    std::vector<Key> keys(static_cast<size_t>(n));
    bool has_empty = false;
    for (int i = 0; i < n; ++i) {
        keys[static_cast<size_t>(i)] = {sbas_ephemeris_time(SBAS_Eph[i]), SBAS_Eph[i].SV, i};
        has_empty = has_empty || SBAS_Eph[i].SV == 0;
    }
    auto lower_sv = [](const Key& a, const Key& b) { return a.SV < b.SV; };
    if (!has_empty) {
        std::stable_sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
            if (a.T != b.T) return a.T < b.T;
            return a.SV < b.SV;
        });
    } else {
        exchange_rounds(keys.data(), n, [](const Key& a, const Key& b) { return a.T > b.T && a.SV != 0; });
        for (size_t i = 0; i < keys.size();) {
            size_t j = i + 1;
            while (j < keys.size() && keys[j].T == keys[i].T) ++j;
            std::stable_sort(keys.data() + i, keys.data() + j, lower_sv);
            i = j;
        }
    }
    const std::vector<SBAS_Ephemeris> stored(SBAS_Eph.begin(), SBAS_Eph.begin() + n);
    for (int i = 0; i < n; ++i) SBAS_Eph[i] = stored[static_cast<size_t>(keys[static_cast<size_t>(i)].at)];
}

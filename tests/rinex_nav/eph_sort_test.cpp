// Ephemeris store ordering: by full reference time (with its week or day),
// then satellite, with the order among equal keys that neighbour exchanges
// give. Each store is also checked against those exchanges run literally
// on random stores, with zero and negative times, several weeks and days,
// and empty records mixed in.
#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "rinex_nav/Sat_type.h"
#include "stores/VLX_objects.h"

namespace {

// The defining rounds: `count` passes over neighbouring pairs, exchanging
// a pair when the round's condition holds.
template <class Rec, class Swap>
void reference_round(Rec* s, int n, Swap cond) {
    for (int pass = 0; pass < n; ++pass)
        for (int j = 0; j + 1 < n; ++j)
            if (cond(s[j], s[j + 1])) std::swap(s[j], s[j + 1]);
}

template <class Rec, class Time>
void reference_time_sat(Rec* s, int n, Time t) {
    reference_round(s, n, [&](const Rec& a, const Rec& b) { return t(a) > t(b) && t(a) != 0; });
    reference_round(s, n, [&](const Rec& a, const Rec& b) {
        return static_cast<int32_t>(a.SV) > static_cast<int32_t>(b.SV) && t(a) == t(b) && t(a) != 0;
    });
}

double ref_sbas_time(const SBAS_Ephemeris& r) {
    double t = static_cast<double>(r.tx_time / 86400) * 86400.0 + r.t0;
    if (t - r.tx_time > 43200.0)
        t -= 86400.0;
    else if (r.tx_time - t > 43200.0)
        t += 86400.0;
    int w = r.week;
    if (t < 0.0) {
        t += 604800.0;
        --w;
    } else if (t >= 604800.0) {
        t -= 604800.0;
        ++w;
    }
    return w * 604800.0 + t;
}

std::vector<std::pair<uint32_t, int32_t>> gps_keys(int n) {
    std::vector<std::pair<uint32_t, int32_t>> v;
    for (int i = 0; i < n; ++i) v.push_back({GPS_Eph[i].SV, GPS_Eph[i].toe});
    return v;
}

}  // namespace

TEST(EphSort, GpsByToeThenSatellite) {
    const std::pair<uint32_t, int32_t> stored[] = {{5, 7200}, {3, 0}, {2, 7200}, {9, 3600}};
    for (int i = 0; i < 4; ++i) {
        GPS_Eph[i].SV = stored[i].first;
        GPS_Eph[i].toe = stored[i].second;
    }
    GPS_SV_index = 4;
    sort_GPS_ephemeris();
    const std::vector<std::pair<uint32_t, int32_t>> want = {{3, 0}, {9, 3600}, {2, 7200}, {5, 7200}};
    EXPECT_EQ(gps_keys(4), want);
}

namespace {

struct WeekToe {
    uint32_t sv;
    uint16_t week;
    int32_t toe;
};

// Loads a toe-keyed store, orders it with `sort` and returns what it holds.
template <class Rec>
std::vector<WeekToe> sorted_week_toe(std::vector<Rec>& store, int32_t& count, void (*sort)(),
                                     const std::vector<WeekToe>& stored) {
    for (size_t i = 0; i < stored.size(); ++i) {
        store[i].SV = stored[i].sv;
        store[i].week = stored[i].week;
        store[i].toe = stored[i].toe;
    }
    count = static_cast<int32_t>(stored.size());
    sort();
    std::vector<WeekToe> v;
    for (size_t i = 0; i < stored.size(); ++i) {
        v.push_back({store[i].SV, store[i].week, store[i].toe});
        store[i] = Rec{};  // the other cases of this file expect week 0
    }
    count = 0;
    return v;
}

bool operator==(const WeekToe& a, const WeekToe& b) { return a.sv == b.sv && a.week == b.week && a.toe == b.toe; }
void PrintTo(const WeekToe& w, std::ostream* os) { *os << "(" << w.sv << ", " << w.week << ", " << w.toe << ")"; }

}  // namespace

// A log across the week boundary: the old week's records before the new
// week's, whose toe starts again at 0; within one time, by satellite.
TEST(EphSort, EveryToeStoreAcrossTheWeekBoundary) {
    const std::vector<WeekToe> stored = {{7, 2300, 597600}, {3, 2301, 0},      {9, 2300, 604000},
                                         {2, 2301, 0},      {5, 2300, 597600}, {1, 2301, 3600}};
    const std::vector<WeekToe> want = {{5, 2300, 597600}, {7, 2300, 597600}, {9, 2300, 604000},
                                       {2, 2301, 0},      {3, 2301, 0},      {1, 2301, 3600}};
    EXPECT_EQ(sorted_week_toe(GPS_Eph, GPS_SV_index, sort_GPS_ephemeris, stored), want);
    EXPECT_EQ(sorted_week_toe(QZSS_Eph, QZSS_SV_index, sort_QZSS_ephemeris, stored), want);
    EXPECT_EQ(sorted_week_toe(GAL_Eph, GAL_SV_index, sort_GAL_ephemeris, stored), want);
    EXPECT_EQ(sorted_week_toe(BDS_Eph, BDS_SV_index, sort_BDS_ephemeris, stored), want);
    EXPECT_EQ(sorted_week_toe(NavIC_Eph, NavIC_SV_index, sort_NavIC_ephemeris, stored), want);
}

TEST(EphSort, EqualKeysKeepStoredOrderAndTypesTravel) {
    // Same satellite and toe: stored order kept; whole records move.
    const struct {
        uint32_t sv;
        int32_t toe;
        const char* type;
        uint32_t tag;
    } stored[] = {
        {4, 900, "CNAV", 1}, {4, 900, "LNAV", 2}, {2, 0, "LNAV", 3}, {1, 0, "CNV2", 4}, {4, 300, "LNAV", 5}};
    for (int i = 0; i < 5; ++i) {
        GPS_Eph[i].SV = stored[i].sv;
        GPS_Eph[i].toe = stored[i].toe;
        GPS_Eph[i].type = stored[i].type;
        GPS_Eph[i].tx_time = stored[i].tag;
    }
    GPS_SV_index = 5;
    sort_GPS_ephemeris();
    // Records of toe 0 come first, in stored order (not by satellite).
    const uint32_t tags[] = {3, 4, 5, 1, 2};
    const char* types[] = {"LNAV", "CNV2", "LNAV", "CNAV", "LNAV"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(GPS_Eph[i].tx_time, tags[i]) << i;
        EXPECT_EQ(GPS_Eph[i].type, types[i]) << i;
    }
}

TEST(EphSort, OnlyTheFilledPartIsOrdered) {
    GPS_Eph[0].SV = 2;
    GPS_Eph[0].toe = 100;
    GPS_Eph[1].SV = 1;
    GPS_Eph[1].toe = 50;
    GPS_SV_index = 1;  // one record: unchanged, the slot after it untouched
    sort_GPS_ephemeris();
    EXPECT_EQ(GPS_Eph[0].SV, 2u);
    EXPECT_EQ(GPS_Eph[1].SV, 1u);
    GPS_SV_index = 0;
    sort_GPS_ephemeris();
    EXPECT_EQ(GPS_Eph[0].SV, 2u);
    // A count beyond the store is cut to the store.
    QZSS_SV_index = EPH_STORE_SIZE + 5;
    QZSS_Eph[EPH_STORE_SIZE - 1].SV = 193;
    QZSS_Eph[EPH_STORE_SIZE - 1].toe = 1;
    QZSS_Eph[0].SV = 194;
    QZSS_Eph[0].toe = 5;
    sort_QZSS_ephemeris();
    EXPECT_EQ(QZSS_Eph[EPH_STORE_SIZE - 2].SV, 193u);
    EXPECT_EQ(QZSS_Eph[EPH_STORE_SIZE - 1].SV, 194u);
    GLO_SV_index = -3;
    sort_GLO_ephemeris();
}

TEST(EphSort, GlonassByTbThenSlot) {
    const std::pair<uint32_t, int32_t> stored[] = {{7, 900}, {3, 900}, {1, 1800}, {2, 0}, {5, 0}, {4, 450}};
    for (int i = 0; i < 6; ++i) {
        GLO_Eph[i].SV = stored[i].first;
        GLO_Eph[i].tb = stored[i].second;
    }
    GLO_SV_index = 6;
    sort_GLO_ephemeris();
    const uint32_t want[] = {2, 5, 4, 3, 7, 1};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(GLO_Eph[i].SV, want[i]) << i;
}

// tb starts again at each Moscow midnight: the day (four-year interval and
// day number) orders first. A record without a usable day is keyed by tb
// alone and goes before the dated ones.
TEST(EphSort, GlonassAcrossDaysAndFourYearIntervals) {
    struct G {
        uint32_t slot;
        uint8_t N4;
        uint32_t day;
        int32_t tb;
    };
    const G stored[] = {{4, 8, 75, 900},     {2, 8, 74, 85500}, {1, 8, 75, 900}, {3, 8, 74, 84600},
                        {6, 7, 1461, 85500}, {5, 8, 1, 900},    {8, 0, 0, 1800}, {9, 8, 1462, 1800}};
    for (int i = 0; i < 8; ++i) {
        GLO_Eph[i].SV = stored[i].slot;
        GLO_Eph[i].N4 = stored[i].N4;
        GLO_Eph[i].day_number = stored[i].day;
        GLO_Eph[i].tb = stored[i].tb;
    }
    GLO_SV_index = 8;
    sort_GLO_ephemeris();
    const uint32_t want[] = {8, 9, 6, 5, 3, 2, 1, 4};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(GLO_Eph[i].SV, want[i]) << i;
}

TEST(EphSort, GalileoDataSourceRound) {
    struct G {
        uint32_t sv;
        int32_t toe;
        uint8_t bit;
    };
    auto load = [](std::initializer_list<G> recs) {
        int i = 0;
        for (const G& g : recs) {
            GAL_Eph[i].SV = g.sv;
            GAL_Eph[i].toe = g.toe;
            GAL_Eph[i].data_sources = static_cast<uint8_t>(g.bit | 0x04);
            ++i;
        }
        GAL_SV_index = i;
    };
    auto keys = [](int n) {
        std::vector<std::vector<int>> v;
        for (int i = 0; i < n; ++i)
            v.push_back({int(GAL_Eph[i].SV), GAL_Eph[i].toe, GAL_Eph[i].data_sources & 1});
        return v;
    };
    load({{11, 600, 1}, {11, 600, 0}});
    sort_GAL_ephemeris();
    EXPECT_EQ(keys(2), (std::vector<std::vector<int>>{{11, 600, 0}, {11, 600, 1}}));

    // Neighbours of one satellite at two reference times: the times keep
    // rising, bit 0 clear first within each time.
    load({{11, 600, 1}, {11, 1200, 0}});
    sort_GAL_ephemeris();
    EXPECT_EQ(keys(2), (std::vector<std::vector<int>>{{11, 600, 1}, {11, 1200, 0}}));

    load({{11, 600, 0}, {11, 600, 1}, {11, 1200, 0}, {11, 1200, 1}});
    sort_GAL_ephemeris();
    EXPECT_EQ(keys(4),
              (std::vector<std::vector<int>>{{11, 600, 0}, {11, 600, 1}, {11, 1200, 0}, {11, 1200, 1}}));
}

// I/NAV (E1-B and E5b) and F/NAV batches of one satellite stored as I/NAV
// 600, F/NAV 600, F/NAV 1200, I/NAV 1200.
TEST(EphSort, GalileoFnavBeforeInavWithinEachTime) {
    const struct {
        int32_t toe;
        uint8_t sources;
        const char* type;
    } stored[] = {{600, 0x05, "INAV"}, {600, 0x02, "FNAV"}, {1200, 0x02, "FNAV"}, {1200, 0x05, "INAV"}};
    for (int i = 0; i < 4; ++i) {
        GAL_Eph[i].SV = 11;
        GAL_Eph[i].week = 2300;
        GAL_Eph[i].toe = stored[i].toe;
        GAL_Eph[i].data_sources = stored[i].sources;
        GAL_Eph[i].type = stored[i].type;
    }
    GAL_SV_index = 4;
    sort_GAL_ephemeris();
    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) order.push_back(GAL_Eph[i].type + " " + std::to_string(GAL_Eph[i].toe));
    EXPECT_EQ(order, (std::vector<std::string>{"FNAV 600", "INAV 600", "FNAV 1200", "INAV 1200"}));
}

TEST(EphSort, SbasByTimeThenSatellite) {
    // 131 and 127 at the same time; a record one week later after both.
    auto set = [](int i, uint8_t sv, uint32_t m, uint32_t t0, uint16_t w) {
        SBAS_Eph[i].SV = sv;
        SBAS_Eph[i].tx_time = m;
        SBAS_Eph[i].t0 = t0;
        SBAS_Eph[i].week = w;
    };
    set(0, 125, 100, 50, 2301);
    set(1, 131, 86400 + 10, 20, 2300);
    set(2, 127, 86400 + 30, 20, 2300);
    set(3, 120, 604700, 100, 2300);  // time of day of the next day: carried into week 2301
    SBAS_SV_index = 4;
    sort_SBAS_ephemeris();
    const uint8_t want[] = {127, 131, 125, 120};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(SBAS_Eph[i].SV, want[i]) << i;
}

// Random stores of every kind against the literal exchanges.
TEST(EphSort, MatchesNeighbourExchangesOnRandomStores) {
    std::mt19937 rng(12345);
    auto pick = [&](std::initializer_list<int> v) { return *(v.begin() + rng() % v.size()); };
    for (int trial = 0; trial < 300; ++trial) {
        const int n = 1 + static_cast<int>(rng() % 40);
        const bool negatives = trial % 3 == 0;

        std::vector<GPS_Ephemeris> g(n);
        std::vector<GLO_Ephemeris> r(n);
        std::vector<GAL_Ephemeris> e(n);
        std::vector<SBAS_Ephemeris> s(n);
        for (int i = 0; i < n; ++i) {
            const int32_t t = negatives ? pick({-600, -300, 0, 0, 300, 600, 900}) : pick({0, 300, 600, 900});
            g[i].SV = static_cast<uint32_t>(pick({1, 2, 3, 0, -1}));
            g[i].toe = t;
            g[i].week = static_cast<uint16_t>(pick({0, 0, 2300, 2301}));
            g[i].tx_time = static_cast<uint32_t>(i);
            r[i].SV = static_cast<uint32_t>(pick({1, 2, 3}));
            r[i].tb = t;
            r[i].tk = i;
            const int day = pick({0, 1, 2});  // no usable day, or one of two days
            r[i].N4 = static_cast<uint8_t>(day == 0 ? 0 : 8);
            r[i].day_number = static_cast<uint32_t>(day == 0 ? 0 : 73 + day);
            e[i].SV = static_cast<uint32_t>(pick({11, 11, 12, 0}));
            e[i].toe = t;
            e[i].week = static_cast<uint16_t>(pick({0, 2300, 2301}));
            e[i].data_sources = static_cast<uint8_t>(rng() % 8);
            e[i].spare = static_cast<uint32_t>(i);
            s[i].SV = static_cast<uint8_t>(trial % 2 ? pick({120, 127, 131}) : pick({120, 127, 0}));
            s[i].tx_time = static_cast<uint32_t>(pick({100, 86400, 604700}));
            s[i].t0 = static_cast<uint32_t>(pick({50, 80000, 86300}));
            s[i].week = static_cast<uint16_t>(pick({2300, 2301}));
            s[i].word70 = static_cast<uint16_t>(i);
        }
        for (int i = 0; i < n; ++i) {
            GPS_Eph[i] = g[i];
            GLO_Eph[i] = r[i];
            GAL_Eph[i] = e[i];
            SBAS_Eph[i] = s[i];
        }
        GPS_SV_index = GLO_SV_index = GAL_SV_index = SBAS_SV_index = n;
        sort_GPS_ephemeris();
        sort_GLO_ephemeris();
        sort_GAL_ephemeris();
        sort_SBAS_ephemeris();

        reference_time_sat(g.data(), n, [](const GPS_Ephemeris& x) { return x.week * 604800LL + x.toe; });
        reference_time_sat(r.data(), n, [](const GLO_Ephemeris& x) {
            return x.N4 == 0 ? x.tb : ((x.N4 - 1) * 1461LL + x.day_number) * 86400 + x.tb;
        });
        reference_time_sat(e.data(), n, [](const GAL_Ephemeris& x) { return x.week * 604800LL + x.toe; });
        reference_round(e.data(), n, [](const GAL_Ephemeris& a, const GAL_Ephemeris& b) {
            return a.SV == b.SV && a.SV != 0 && a.week == b.week && a.toe == b.toe && (a.data_sources & 1) == 1 &&
                   (b.data_sources & 1) == 0;
        });
        reference_round(s.data(), n, [](const SBAS_Ephemeris& a, const SBAS_Ephemeris& b) {
            return ref_sbas_time(a) > ref_sbas_time(b) && a.SV != 0;
        });
        reference_round(s.data(), n, [](const SBAS_Ephemeris& a, const SBAS_Ephemeris& b) {
            return ref_sbas_time(a) == ref_sbas_time(b) && a.SV > b.SV;
        });
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(GPS_Eph[i].tx_time, g[i].tx_time) << "GPS trial " << trial << " at " << i;
            ASSERT_EQ(GLO_Eph[i].tk, r[i].tk) << "GLONASS trial " << trial << " at " << i;
            ASSERT_EQ(GAL_Eph[i].spare, e[i].spare) << "Galileo trial " << trial << " at " << i;
            ASSERT_EQ(SBAS_Eph[i].word70, s[i].word70) << "SBAS trial " << trial << " at " << i;
        }
    }
    // The other cases of this file expect weeks and days of 0.
    for (int i = 0; i < 40; ++i) GPS_Eph[i] = GPS_Ephemeris{};
}

TEST(EphSort, FullStoreInReverseOrder) {
    for (int i = 0; i < EPH_STORE_SIZE; ++i) {
        GPS_Eph[i].SV = static_cast<uint32_t>(1 + i % 32);
        GPS_Eph[i].toe = (EPH_STORE_SIZE - i / 32) * 16;
        GPS_Eph[i].type = "LNAV";
    }
    GPS_SV_index = EPH_STORE_SIZE;
    sort_GPS_ephemeris();
    for (int i = 1; i < EPH_STORE_SIZE; ++i) {
        const GPS_Ephemeris &a = GPS_Eph[i - 1], &b = GPS_Eph[i];
        ASSERT_TRUE(a.toe < b.toe || (a.toe == b.toe && a.SV < b.SV)) << i;
    }
}

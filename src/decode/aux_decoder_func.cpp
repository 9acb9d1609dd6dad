// First-pass decoders of navigation data.
#include "decode/aux_decoder_func.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "decode/Decode_func.h"
#include "decode/le_read.h"
#include "stores/VLX_msgs.h"
#include "stores/VLX_objects.h"

// ===================================================================
// The Keplerian head shared by the GPS-like ephemerides
// ===================================================================

namespace {

constexpr double KEPLER_SEMICIRCLE = 3.141592653589793;

// The 122-byte Keplerian block that opens the GPS-like ephemeris messages:
// everything but the satellite number, the accuracy and the week, which
// each system sets by its own rules. Angles arrive in semicircles; the
// rates are scaled in double precision and rounded to float.
void copy_kepler_head(const unsigned char* m, Kepler_head& h) {
    h.tx_time = rd_u32(m, 1);
    h.flags = rd_u8(m, 5);
    h.IODC = rd_i16(m, 6);
    h.toc = rd_i32(m, 8);
    h.health = rd_u8(m, 13);
    h.TGD = rd_f32(m, 16);
    h.af2 = rd_f32(m, 20);
    h.af1 = rd_f32(m, 24);
    h.af0 = rd_f32(m, 28);
    h.toe = rd_i32(m, 32);
    h.IODE = rd_u16(m, 36);
    h.sqrtA = rd_f64(m, 38);
    h.e = rd_f64(m, 46);
    h.M0 = rd_f64(m, 54) * KEPLER_SEMICIRCLE;
    h.OMEGA0 = rd_f64(m, 62) * KEPLER_SEMICIRCLE;
    h.i0 = rd_f64(m, 70) * KEPLER_SEMICIRCLE;
    h.omega = rd_f64(m, 78) * KEPLER_SEMICIRCLE;
    h.delta_n = static_cast<float>(static_cast<double>(rd_f32(m, 86)) * KEPLER_SEMICIRCLE);
    h.OMEGA_DOT = static_cast<float>(static_cast<double>(rd_f32(m, 90)) * KEPLER_SEMICIRCLE);
    h.IDOT = static_cast<float>(static_cast<double>(rd_f32(m, 94)) * KEPLER_SEMICIRCLE);
    h.Crc = rd_f32(m, 98);
    h.Crs = rd_f32(m, 102);
    h.Cuc = rd_f32(m, 106);
    h.Cus = rd_f32(m, 110);
    h.Cic = rd_f32(m, 114);
    h.Cis = rd_f32(m, 118);
}

// User range accuracy in whole metres from the signed index: up to 6
// (negatives too) 2^(i/2+1) with the division toward zero, 7..15 2^(i-2);
// larger indices are kept as they are.
int32_t kepler_ura_metres(int32_t i) {
    if (i <= 6) return static_cast<int32_t>(std::ldexp(1.0, i / 2 + 1));
    if (i <= 15) return static_cast<int32_t>(std::ldexp(1.0, i - 2));
    return i;
}

// Week of toc or toe, which may lie on the other side of a week boundary
// from the transmission time.
int week_near_tx(int w, int64_t time_of_week, int64_t tx) { return w + week_crossing(time_of_week, tx); }

// The slot a new ephemeris is decoded into (the store grown to reach it),
// emptied first. It is either fresh or still holds a repeat that was
// dropped; a field the new message does not carry (a fit interval, a type
// no flag bit decides, the fields of another message length) must not
// inherit the dropped record's value. The slot lies at the store's count,
// outside the repeat index. nullptr for a count outside the store's range.
template <class Rec>
Rec* cleared_slot(std::vector<Rec>& store, int32_t n) {
    Rec* r = store_slot(store, n);
    if (r != nullptr) *r = Rec{};
    return r;
}

}  // namespace

// ===================================================================
// Repeat tests of the ephemeris stores
// ===================================================================

namespace {

// Mixes the fields of a record's key into a hash.
uint64_t mix(uint64_t h, uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h * 0xBF58476D1CE4E5B9ull;
}
uint64_t mix_text(uint64_t h, const std::string& t) {
    for (unsigned char c : t) h = mix(h, c);
    return mix(h, t.size());
}
uint64_t bits_of(double v) {
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}
uint64_t bits_of(float v) {
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// The repeat index of a store (Eph_repeat) replaces a scan of the store
// (which made a long log's first pass quadratic). A candidate is confirmed
// with the store's own comparison, so the answer is the scan's: whether
// some earlier record has the key. Records a store gained otherwise are
// added before a test, a store whose count fell below `indexed` is indexed
// afresh, and ordering a store (which moves its records) forgets every
// index (forget_ephemeris_keys). The index grows with its store: at least
// twice as many slots as records, a power of two, so that probe runs stay
// short.
constexpr size_t KEY_SET_START = 1024;

template <class Rec, class Hash, class Same>
bool repeats_earlier(Repeat_index& set, const Rec* store, int32_t count, const Rec& r, Hash hash, Same same) {
    if (count < set.indexed || set.slot.size() < 2 * static_cast<size_t>(count) + 2) {
        size_t size = std::max(KEY_SET_START, set.slot.size());
        while (size < 2 * static_cast<size_t>(count) + 2) size *= 2;
        set.slot.assign(size, 0);
        set.indexed = 0;
    }
    const uint64_t mask = set.slot.size() - 1;
    for (; set.indexed < count; ++set.indexed) {
        uint64_t i = (hash(store[set.indexed]) >> 40) & mask;
        while (set.slot[i] != 0) i = (i + 1) & mask;
        set.slot[i] = set.indexed + 1;
    }
    for (uint64_t i = (hash(r) >> 40) & mask; set.slot[i] != 0; i = (i + 1) & mask)
        if (same(store[set.slot[i] - 1], r)) return true;
    return false;
}

// Whether record r, just decoded into slot n of its store, is kept: it
// repeats no earlier record and the store has room. A record that is not
// kept gets satellite number 0, so that its slot takes the next message.
template <class Rec, class Hash, class Same>
bool kept(const std::vector<Rec>& store, int32_t n, Rec& r, StoreId id, Hash hash, Same same) {
    if (!repeats_earlier(Eph_repeat[id], store.data(), n, r, hash, same) && !store_full(n, id, hash(r))) return true;
    r.SV = 0;
    return false;
}

}  // namespace

void forget_ephemeris_keys() {
    for (Repeat_index& set : Eph_repeat) {
        set.slot.clear();
        set.indexed = 0;
    }
}

// ===================================================================
// GPS and QZSS ephemerides
// ===================================================================

namespace {

// Full week from the transmitted (possibly rolled-over) week: brought within
// 512 weeks of the receiver's week, or without a usable receiver date
// placed in the third 1024-week era when it is below 1024.
int gps_resolve_week(int transmitted, int receiver) {
    int w = transmitted;
    if (receiver < 0) return w < 1024 ? w + 2048 : w;
    while (w - receiver > 512) w -= 1024;
    while (receiver - w > 512) w += 1024;
    return w;
}

// Navigation message type from the CNAV flag byte. The two long layouts
// rank the flag bits differently; with no deciding bit the type stays
// empty and no writer prints the record.
void gps_type_160(GPS_Ephemeris& r, uint8_t f) {
    if (f & 0x08) r.type = Eph_type[2];
    else if (f & 0x06) r.type = Eph_type[1];
    else if (f & 0x01) r.type = Eph_type[0];
}
void gps_type_168(GPS_Ephemeris& r, uint8_t f) {
    if (f & 0x06) r.type = Eph_type[1];
    else if (f & 0x01) r.type = Eph_type[0];
    else if (f & 0x08) r.type = Eph_type[2];
}

// The GPS and QZSS ephemeris messages share one layout; the record goes
// into slot `count` of the store and is kept unless it repeats an earlier
// record: the same satellite, type and full time of ephemeris (toe and the
// record's week, so that a toe that comes again a week later is a new
// ephemeris). Fields a message does not carry stay zero. A full store
// drops the message and counts it.
void decode_gps_like(const unsigned char* m, std::vector<GPS_Ephemeris>& store, int32_t& count, StoreId id) {
    GPS_Ephemeris* slot = cleared_slot(store, count);
    if (slot == nullptr) return;
    GPS_Ephemeris& r = *slot;
    const uint32_t len = rd_u32(m, 180);

    if (len == 123) {
        r.type = Eph_type[0];
        r.SV = rd_u8(m, 0);
    }
    copy_kepler_head(m, r);
    r.accuracy = kepler_ura_metres(rd_i8(m, 12));
    const int w = gps_resolve_week(rd_i16(m, 14), get_GPS_week_from_receiver_date());

    if (len == 160 || len == 168) {
        r.SV = rd_u8(m, 0);
        r.cnav_flags = rd_u8(m, 122);
        if (len == 160) gps_type_160(r, r.cnav_flags);
        else gps_type_168(r, r.cnav_flags);
        r.t_op = rd_i32(m, 123);
        r.spare = rd_u32(m, 127);
        r.A_dot = rd_f64(m, 131);
        r.delta_n_dot = static_cast<float>(static_cast<double>(rd_f32(m, 139)) * KEPLER_SEMICIRCLE);
        r.URA_ED = rd_u8(m, 143);
        r.URA_NED0 = rd_u8(m, 144);
        r.URA_NED1 = rd_u8(m, 145);
        r.URA_NED2 = rd_u8(m, 146);
        if (len == 160) {
            r.ISC_L1C[0] = rd_f32(m, 163);
            r.ISC_L1C[1] = rd_f32(m, 167);
        } else {
            for (int k = 0; k < 4; ++k) r.ISC[k] = rd_f32(m, 147 + 4 * k);
        }
        r.clock_bias_addend = rd_f32(m, 171);
    }

    // toc and toe may fall in the week before or after the transmission.
    // The record's week is the week of toe for every type, as in the other
    // systems' records, so that week and toe give the full time of
    // ephemeris; CNAV and CNAV-2 records write the week of toc.
    const int64_t tx = r.tx_time;
    const int week_toc = week_near_tx(w, r.toc, tx);
    r.week = static_cast<uint16_t>(week_near_tx(w, r.toe, tx));
    r.toc_week = static_cast<uint16_t>(week_toc);
    set_GPS_EPH_date(week_toc, r.toc, r.clock_epoch.v);
    if (r.type == Eph_type[0] && r.IODC < 240) r.fit_interval = 4.0f;

    auto hash = [](const GPS_Ephemeris& e) {
        return mix_text(mix(mix(mix(0, e.SV), static_cast<uint32_t>(e.toe)), e.week), e.type);
    };
    auto same = [](const GPS_Ephemeris& o, const GPS_Ephemeris& e) {
        return o.SV == e.SV && o.toe == e.toe && o.week == e.week && o.type == e.type;
    };
    if (!kept(store, count, r, id, hash, same)) return;
    ++count;
}

}  // namespace

void decode_GE() { decode_gps_like(GE, GPS_Eph, GPS_SV_index, STORE_GPS_EPH); }
void decode_QE() { decode_gps_like(QE, QZSS_Eph, QZSS_SV_index, STORE_QZSS_EPH); }

// ===================================================================
// Galileo, BeiDou and NavIC ephemerides
// ===================================================================

namespace {

// Galileo signal-in-space accuracy in metres from its index: piecewise
// linear bands, and "no accuracy prediction" (-1) above 125.
struct SisaBand {
    int lo, hi;
    double base, step;
};
constexpr SisaBand SISA_BANDS[] = {
    {0, 49, 0.0, 0.01}, {50, 74, 0.5, 0.02}, {75, 99, 1.0, 0.04}, {100, 125, 2.0, 0.16}};

float gal_sisa_metres(int index) {
    for (const SisaBand& b : SISA_BANDS)
        if (index >= b.lo && index <= b.hi) return static_cast<float>(b.base + b.step * (index - b.lo));
    return -1.0f;
}

// Galileo weeks are sent modulo 4096 from the GST origin, 1024 weeks after
// GPS week 0: placed within 2048 weeks of the receiver's week when it has
// a usable date.
int gal_resolve_week(int transmitted, int receiver) {
    int w = transmitted + 1024;
    if (receiver < 0) return w;
    while (w - receiver > 2048) w -= 4096;
    while (receiver - w > 2048) w += 4096;
    return w;
}

// NavIC weeks are sent modulo 1024: brought within 512 weeks of the
// receiver's week, or placed in the third era without a receiver date.
int navic_resolve_week(int transmitted, int receiver) {
    if (receiver < 0) return transmitted + 2048;
    int w = transmitted;
    if (w - receiver > 512) w -= 1024;
    while (receiver - w > 512) w += 1024;
    return w;
}

// Navigation-data bits of the Galileo message.
constexpr uint8_t GAL_INAV_E1B = 0x01, GAL_FNAV_E5A = 0x02, GAL_INAV_E5B = 0x04;
constexpr uint8_t GAL_SOURCE_BITS = GAL_INAV_E1B | GAL_FNAV_E5A | GAL_INAV_E5B;

// The BeiDou geostationary satellites, C01-C05 and C59-C63, send D2; the
// others D1. (0 is no satellite; it keeps the D2 of the lower range.)
bool bds_sends_d2(uint32_t sv) { return sv < 6 || (sv >= 59 && sv <= 63); }

// BeiDou message kinds from the message-type flag byte.
void bds_type_from_flags(BDS_Ephemeris& r) {
    const uint8_t f = r.type_flags;
    if (f & 0x07) r.type = bds_sends_d2(r.SV) ? "D2" : "D1";
    else if (f & 0x08) r.type = "CNV1";
    else if (f & 0x20) r.type = "CNV2";
    else if (f & 0x40) r.type = "CNV3";
    // no kind bit: the type stays empty
}

// Stored lengths of the BeiDou message ("CN" record, length at 164).
constexpr uint32_t CN_LEN_D1D2 = 134, CN_LEN_CNAV = 152, CN_LEN_CNAV_EXT = 160;

}  // namespace

void decode_EN() {
    const int32_t n = GAL_SV_index;
    GAL_Ephemeris* slot = cleared_slot(GAL_Eph, n);
    if (slot == nullptr) return;
    GAL_Ephemeris& r = *slot;
    r.SV = rd_u8(EN, 0);
    copy_kepler_head(EN, r);
    r.accuracy = rd_u8(EN, 12);  // the raw SISA index
    r.SISA = gal_sisa_metres(r.accuracy);
    const int w = gal_resolve_week(rd_i16(EN, 14), get_GPS_week_from_receiver_date());

    r.BGD_E5a = rd_f32(EN, 122);
    r.BGD_E5b = rd_f32(EN, 126);
    r.ai0 = rd_f32(EN, 130);
    r.ai1 = rd_f32(EN, 134);
    r.ai2 = rd_f32(EN, 138);
    r.iono_flags = rd_u8(EN, 142);
    r.data_sources = rd_u8(EN, 143);
    r.spare = rd_u32(EN, 144);

    // The data-source word is the RINEX "data sources" value of the record;
    // without a known source bit type and words stay empty.
    if (r.data_sources & (GAL_INAV_E1B | GAL_INAV_E5B)) {
        r.type = "INAV";
        r.flag_word = 0x205;
        r.data_source_word = 517;
    } else if (r.data_sources & GAL_FNAV_E5A) {
        r.type = "FNAV";
        r.flag_word = 0x102;
        r.data_source_word = 258;
    }

    const int64_t tx = r.tx_time;
    const int week_toc = week_near_tx(w, r.toc, tx);
    r.week = static_cast<uint16_t>(week_near_tx(w, r.toe, tx));
    set_GPS_EPH_date(week_toc, r.toc, r.clock_epoch.v);

    // An I/NAV and an F/NAV batch of the same time are both kept.
    auto hash = [](const GAL_Ephemeris& e) {
        return mix(mix(mix(mix(0, e.SV), static_cast<uint32_t>(e.toe)), e.week), e.data_sources & GAL_SOURCE_BITS);
    };
    auto same = [](const GAL_Ephemeris& o, const GAL_Ephemeris& e) {
        return o.SV == e.SV && o.toe == e.toe && o.week == e.week &&
               (o.data_sources & GAL_SOURCE_BITS) == (e.data_sources & GAL_SOURCE_BITS);
    };
    if (!kept(GAL_Eph, n, r, STORE_GAL_EPH, hash, same)) return;
    GAL_SV_index = n + 1;
}

void decode_CN() {
    const int32_t n = BDS_SV_index;
    const uint32_t len = rd_u32(CN, 164);
    // A message of another length brought no body: the record still holds
    // the previous message, which is already stored.
    if (len != CN_LEN_D1D2 && len != CN_LEN_CNAV && len != CN_LEN_CNAV_EXT) return;
    BDS_Ephemeris* slot = cleared_slot(BDS_Eph, n);
    if (slot == nullptr) return;
    BDS_Ephemeris& r = *slot;
    r.SV = rd_u8(CN, 0);
    copy_kepler_head(CN, r);
    r.accuracy = kepler_ura_metres(rd_i8(CN, 12));
    r.TGD2 = rd_f32(CN, 122);
    r.type_flags = rd_u8(CN, 126);
    r.word127 = rd_u32(CN, 127);
    bds_type_from_flags(r);

    if (len == CN_LEN_D1D2) {
        r.AODC = rd_u8(CN, 131);
        r.AODE = rd_u8(CN, 132);
    } else {
        // The reader leaves two bytes free after byte 130 for the CNAV bodies.
        r.A_dot = rd_f64(CN, 133);
        r.delta_n_dot = static_cast<float>(static_cast<double>(rd_f32(CN, 141)) * KEPLER_SEMICIRCLE);
        r.cnav_accuracy = rd_f32(CN, 145);
        r.word147 = rd_u32(CN, 149);
        if (len == CN_LEN_CNAV_EXT)
            for (int k = 0; k < 8; ++k) r.bytes151[k] = rd_u8(CN, 153 + k);
    }

    // The BeiDou week needs no unwrapping; the clock epoch is a BeiDou-time
    // calendar date computed on the GPS week scale.
    const int w = rd_i16(CN, 14);
    const int64_t tx = r.tx_time;
    const int week_toc = week_near_tx(w, r.toc, tx);
    r.week = static_cast<uint16_t>(week_near_tx(w, r.toe, tx));
    set_GPS_EPH_date(week_toc + BDS_GPS_WEEK_OFFSET, r.toc, r.clock_epoch.v);

    auto hash = [](const BDS_Ephemeris& e) {
        return mix_text(mix(mix(mix(0, e.SV), static_cast<uint32_t>(e.toe)), e.week), e.type);
    };
    auto same = [](const BDS_Ephemeris& o, const BDS_Ephemeris& e) {
        return o.SV == e.SV && o.toe == e.toe && o.week == e.week && o.type == e.type;
    };
    if (!kept(BDS_Eph, n, r, STORE_BDS_EPH, hash, same)) return;
    BDS_SV_index = n + 1;
}

void decode_IE() {
    const int32_t n = NavIC_SV_index;
    const uint16_t sent_week = rd_u16(IE, 14);
    if (sent_week > 1023) return;  // not a 10-bit week: not a usable message
    NavIC_Ephemeris* slot = cleared_slot(NavIC_Eph, n);
    if (slot == nullptr) return;
    NavIC_Ephemeris& r = *slot;
    r.SV = rd_u8(IE, 0);
    copy_kepler_head(IE, r);
    r.accuracy = kepler_ura_metres(rd_i8(IE, 12));
    const int w = navic_resolve_week(sent_week, get_GPS_week_from_receiver_date());
    if ((r.flags & 0x01) && r.IODC <= 239) r.fit_interval = 4.0f;

    const int64_t tx = r.tx_time;
    const int week_toc = week_near_tx(w, r.toc, tx);
    r.week = static_cast<uint16_t>(week_near_tx(w, r.toe, tx));
    set_GPS_EPH_date(week_toc, r.toc, r.clock_epoch.v);

    auto hash = [](const NavIC_Ephemeris& e) { return mix(mix(mix(0, e.SV), static_cast<uint32_t>(e.toe)), e.week); };
    auto same = [](const NavIC_Ephemeris& o, const NavIC_Ephemeris& e) {
        return o.SV == e.SV && o.toe == e.toe && o.week == e.week;
    };
    if (!kept(NavIC_Eph, n, r, STORE_NAVIC_EPH, hash, same)) return;
    NavIC_SV_index = n + 1;
}

// ===================================================================
// GLONASS and SBAS ephemerides
// ===================================================================

namespace {

// Stored lengths of the GLONASS message ("NE" record, length at 104) and
// of the SBAS message ("WE" record, length at 76).
constexpr uint32_t NE_LEN = 88, NE_LEN_EXT = 103, WE_LEN = 73;

// UTC calendar date and time of tb. The day comes from the four-year
// interval N4 (counted from 1996) and the day number within it; without a
// usable pair the receiver's date is taken and only the time follows tb.
void glo_tb_date(GLO_Ephemeris& r) {
    int64_t d = glo_reference_day(r.N4, r.day_number);
    int64_t s = static_cast<int64_t>(r.tb) - MOSCOW_OFFSET_S;
    if (d < 0) {
        r.date.v[EP_YEAR] = RCV_date.v[EP_YEAR];
        r.date.v[EP_MONTH] = RCV_date.v[EP_MONTH];
        r.date.v[EP_DAY] = RCV_date.v[EP_DAY];
        if (s < 0) s += SECONDS_PER_DAY;
        else if (s >= SECONDS_PER_DAY) s -= SECONDS_PER_DAY;
    } else {
        if (s < 0) {
            --d;
            s += SECONDS_PER_DAY;
        } else if (s >= SECONDS_PER_DAY) {
            ++d;
            s -= SECONDS_PER_DAY;
        }
        int64_t y, m, dd;
        civil_from_days(d, &y, &m, &dd);
        r.date.v[EP_YEAR] = static_cast<float>(y);
        r.date.v[EP_MONTH] = static_cast<float>(m);
        r.date.v[EP_DAY] = static_cast<float>(dd);
    }
    r.date.v[EP_HOUR] = static_cast<float>(s / 3600);
    r.date.v[EP_MIN] = static_cast<float>((s % 3600) / 60);
    r.date.v[EP_SEC] = static_cast<float>(s % 60);
    r.date.v[EP_SYS] = RCV_date.v[EP_SYS];
}

}  // namespace

void decode_NE() {
    const int32_t n = GLO_SV_index;
    const uint32_t len = rd_u32(NE, 104);
    // A message of another length brought no body: the record still holds
    // the previous message, which is already stored.
    if (len != NE_LEN && len != NE_LEN_EXT) return;
    GLO_Ephemeris* slot = cleared_slot(GLO_Eph, n);
    if (slot == nullptr) return;
    GLO_Ephemeris& r = *slot;
    r.SV = rd_u8(NE, 0);
    r.freq = rd_i8(NE, 1);
    r.day_number = rd_u16(NE, 2);
    r.tk = rd_i32(NE, 4);
    r.tb = rd_i32(NE, 8);
    r.health = rd_u8(NE, 12);
    r.age = rd_u8(NE, 13);
    r.flags = rd_u8(NE, 14);
    for (int k = 0; k < 3; ++k) {
        r.pos[k] = rd_f64(NE, 15 + 8 * k);
        r.vel[k] = rd_f32(NE, 39 + 4 * k);
        r.acc[k] = rd_f32(NE, 51 + 4 * k);
    }
    r.tau_sys = rd_f64(NE, 63);
    r.tau = rd_f32(NE, 71);
    r.gamma = rd_f32(NE, 75);
    r.delta_tau = rd_f32(NE, 79);
    r.Ft = rd_u8(NE, 83);
    r.N4 = rd_u8(NE, 84);
    r.flags2 = rd_u16(NE, 85);
    if (len == NE_LEN_EXT) {  // the short message leaves the extension values zero
        r.ext1 = rd_u8(NE, 87);
        for (int k = 0; k < 8; ++k) r.ext2[k] = rd_u8(NE, 88 + k);
        r.ext3 = rd_u16(NE, 96);
        r.ext4 = rd_u8(NE, 98);
        r.ext5 = rd_u8(NE, 99);
        r.ext6 = rd_u16(NE, 100);
    }
    glo_tb_date(r);

    auto hash = [](const GLO_Ephemeris& e) {
        return mix(mix(mix(mix(0, e.SV), e.N4), e.day_number), static_cast<uint32_t>(e.tb));
    };
    auto same = [](const GLO_Ephemeris& o, const GLO_Ephemeris& e) {
        return o.SV == e.SV && o.N4 == e.N4 && o.day_number == e.day_number && o.tb == e.tb;
    };
    if (!kept(GLO_Eph, n, r, STORE_GLO_EPH, hash, same)) return;
    GLO_SV_index = n + 1;
}

void decode_WE() {
    if (rd_u32(WE, 76) != WE_LEN) return;
    const int32_t n = SBAS_SV_index;
    SBAS_Ephemeris* slot = cleared_slot(SBAS_Eph, n);
    if (slot == nullptr) return;
    SBAS_Ephemeris& r = *slot;
    r.SV = rd_u8(WE, 0);
    r.byte1 = rd_u8(WE, 1);
    r.IOD = rd_u8(WE, 2);
    r.URA = rd_u8(WE, 3);
    r.t0 = rd_u32(WE, 4);
    for (int k = 0; k < 3; ++k) {
        r.pos[k] = rd_f64(WE, 8 + 8 * k);
        r.vel[k] = rd_f32(WE, 32 + 4 * k);
        r.acc[k] = rd_f32(WE, 44 + 4 * k);
    }
    r.aGf0 = rd_f32(WE, 56);
    r.aGf1 = rd_f32(WE, 60);
    r.tx_time = rd_u32(WE, 64);
    r.week = static_cast<uint16_t>(rd_u16(WE, 68) + 2048);  // the week is sent modulo 2048
    r.word70 = rd_u16(WE, 70);

    // The 8-bit issue of data comes round again after 256 issues (under two
    // days at one issue every ten minutes): a repeat is the same satellite
    // and issue with the same reference time, its t0 on the same day of the
    // same week.
    auto hash = [](const SBAS_Ephemeris& e) {
        return mix(mix(mix(0, e.SV), e.IOD), static_cast<uint64_t>(static_cast<int64_t>(sbas_ephemeris_time(e))));
    };
    auto same = [](const SBAS_Ephemeris& o, const SBAS_Ephemeris& e) {
        return o.SV == e.SV && o.IOD == e.IOD && sbas_ephemeris_time(o) == sbas_ephemeris_time(e);
    };
    if (!kept(SBAS_Eph, n, r, STORE_SBAS_EPH, hash, same)) return;
    SBAS_SV_index = n + 1;
}

// ===================================================================
// Ionosphere and time-system parameters
// ===================================================================

namespace {

// Ionosphere body: tot u32 at 0, week u16 at 4, alpha0..3 at 6, beta0..3 at 22.
constexpr int ION_ALPHA = 6, ION_BETA = 22;
// Full GPS week of a week transmitted modulo 1024 (GPS, QZSS, NavIC, Galileo).
constexpr uint16_t WEEK_ROLLOVER = 2048;

void read_iono(const unsigned char* msg, Iono_Par& r) {
    for (int i = 0; i < 4; ++i) {
        r.alpha[i] = rd_f32(msg, ION_ALPHA + 4 * i);
        r.beta[i] = rd_f32(msg, ION_BETA + 4 * i);
    }
    r.received = Epoch_reading;
}

// The record a parameter store appends to: its counter (0 for a negative
// one, only possible if something else corrupted it), the store grown to
// hold it; -1 for a counter beyond the store's limit (corrupted too). A new
// record at the limit itself is dropped by store_full.
template <class Rec>
int32_t append_slot(std::vector<Rec>& store, int32_t count) {
    const int32_t n = count < 0 ? 0 : count;
    return store_slot(store, n) != nullptr ? n : -1;
}

// GPS, QZSS and NavIC: only the last record is compared (alpha0, alpha1,
// beta0); tot and the week are not kept. The store only grows.
void decode_klobuchar(const unsigned char* msg, std::vector<Iono_Par>& store, int32_t& count, StoreId id) {
    const int32_t n = append_slot(store, count);
    if (n < 0) return;
    float a0 = rd_f32(msg, ION_ALPHA), a1 = rd_f32(msg, ION_ALPHA + 4), b0 = rd_f32(msg, ION_BETA);
    if (n >= 1) {
        const Iono_Par& last = store[n - 1];
        if (last.alpha[0] == a0 && last.alpha[1] == a1 && last.beta[0] == b0) return;
    }
    if (store_full(n, id, mix(mix(mix(0, bits_of(a0)), bits_of(a1)), bits_of(b0)))) return;
    read_iono(msg, store[n]);
    count = n + 1;
}

// The UTC body shared by "UO", "QU", "CU", "IU", "EU" and "WU".
struct UTC_body {
    double A0;
    float A1;
    uint32_t tot;
    uint16_t WNt;  // as transmitted
    int8_t dtLS;
    uint8_t DN;
    uint16_t WNlsf;
    int8_t dtLSF;
};

UTC_body read_utc(const unsigned char* msg) {
    UTC_body b;
    b.A0 = rd_f64(msg, 0);
    b.A1 = rd_f32(msg, 8);
    b.tot = rd_u32(msg, 12);
    b.WNt = rd_u16(msg, 16);
    b.dtLS = rd_i8(msg, 18);
    b.DN = rd_u8(msg, 19);
    b.WNlsf = rd_u16(msg, 20);
    b.dtLSF = rd_i8(msg, 22);
    return b;
}

// The key of a UTC record dropped at its store's limit: the values the
// repeat tests compare.
uint64_t utc_key(const UTC_body& b, uint16_t week_add) {
    return mix(mix(mix(mix(0, bits_of(b.A0)), bits_of(b.A1)), b.tot), static_cast<uint16_t>(b.WNt + week_add));
}

void store_utc(const UTC_body& b, uint16_t week, UTC_Par& r) {
    r.A0 = b.A0;
    r.A1 = b.A1;
    r.A2 = 0;
    r.tot = b.tot;
    r.WNt = week;
    r.dtLS = b.dtLS;
    r.DN = b.DN;
    r.WNlsf = b.WNlsf;
    r.dtLSF = b.dtLSF;
    r.date = RCV_date;
    r.received = Epoch_reading;
}

// GPS, QZSS, BeiDou: only the last record is compared (A0, A1, tot). The
// store only grows. GPS and QZSS records give the leap seconds, BeiDou
// records do not.
void decode_utc_last(const unsigned char* msg, std::vector<UTC_Par>& store, int32_t& count, StoreId id,
                     uint16_t week_add, bool gives_leap_sec) {
    UTC_body b = read_utc(msg);
    const int32_t n = append_slot(store, count);
    if (n < 0) return;
    if (n >= 1) {
        const UTC_Par& last = store[n - 1];
        if (last.A0 == b.A0 && last.A1 == b.A1 && last.tot == b.tot) return;
    }
    if (store_full(n, id, utc_key(b, week_add))) return;
    store_utc(b, static_cast<uint16_t>(b.WNt + week_add), store[n]);
    count = n + 1;
    if (gives_leap_sec) Leap_sec = b.dtLS;
}

// Whether any of records 0..n-1 carries these A0, A1, tot and full week.
template <typename Rec>
bool utc_seen(const std::vector<Rec>& store, int32_t n, const UTC_body& b, uint16_t week) {
    for (int32_t i = 0; i < n; ++i)
        if (store[i].A0 == b.A0 && store[i].A1 == b.A1 && store[i].tot == b.tot && store[i].WNt == week)
            return true;
    return false;
}

// Hour mark of a BeiDou ionosphere record: "A" for hours 0 to 1 of the day
// inclusive, then one letter per hour, each closed at its upper end ("B"
// for (1, 2], ... "X" for (23, 24]).
std::string bds_hour_mark(uint32_t tot) {
    float h = static_cast<float>(tot / 3600.0);
    double hd = std::fmod(static_cast<double>(h), 24.0);
    int k = hd <= 1.0 ? 0 : static_cast<int>(std::ceil(hd)) - 1;
    return std::string(1, static_cast<char>('A' + k));
}

}  // namespace

void decode_IO() { decode_klobuchar(IO, Iono_GPS, GPS_ION_Par_n, STORE_GPS_ION); }
void decode_QI() { decode_klobuchar(QI, Iono_QZSS, QZSS_ION_Par_n, STORE_QZSS_ION); }
void decode_II() { decode_klobuchar(II, Iono_NavIC, NavIC_ION_Par_n, STORE_NAVIC_ION); }

// BeiDou: stamped with the satellite of the most recent BeiDou ephemeris;
// dropped when it repeats the last record, or any earlier record of the
// same satellite (alpha0, alpha1). The store only grows.
void decode_CI() {
    const int32_t n = append_slot(Iono_BDS, BDS_ION_Par_n);
    if (n < 0) return;
    float a0 = rd_f32(CI, ION_ALPHA), a1 = rd_f32(CI, ION_ALPHA + 4), b0 = rd_f32(CI, ION_BETA);
    if (n >= 1) {
        const Iono_Par& last = Iono_BDS[n - 1];
        if (last.alpha[0] == a0 && last.alpha[1] == a1 && last.beta[0] == b0) return;
    }
    Iono_Par& r = Iono_BDS[n];
    read_iono(CI, r);
    r.tot = rd_u32(CI, 0);
    r.hour_mark = bds_hour_mark(r.tot);
    const int64_t eph = std::min<int64_t>(BDS_SV_index, static_cast<int64_t>(BDS_Eph.size()));
    r.SV = eph >= 1 ? BDS_Eph[eph - 1].SV : 0;
    for (int32_t i = 0; i < n; ++i)
        if (Iono_BDS[i].alpha[0] == r.alpha[0] && Iono_BDS[i].alpha[1] == r.alpha[1] &&
            Iono_BDS[i].SV == r.SV) {
            r.SV = 0;  // dropped: the slot is written again by the next message
            return;
        }
    if (store_full(n, STORE_BDS_ION, mix(mix(mix(0, bits_of(r.alpha[0])), bits_of(r.alpha[1])), r.SV))) {
        r.SV = 0;
        return;
    }
    BDS_ION_Par_n = n + 1;
}

void decode_UO() { decode_utc_last(UO, GPS_UTC_Par, GPS_UTC_Par_n, STORE_GPS_UTC, WEEK_ROLLOVER, true); }
void decode_QU() { decode_utc_last(QU, QZSS_UTC_Par, QZSS_UTC_Par_n, STORE_QZSS_UTC, WEEK_ROLLOVER, true); }
// BeiDou: the week is kept as transmitted.
void decode_CU() { decode_utc_last(CU, BDS_UTC_Par, BDS_UTC_Par_n, STORE_BDS_UTC, 0, false); }

// NavIC: a week or time of week out of range is ignored; all stored
// records are compared. The store only grows.
void decode_IU() {
    UTC_body b = read_utc(IU);
    if (b.WNt > 1023 || b.tot > 604799) return;
    const int32_t n = append_slot(NavIC_UTC_Par, NavIC_UTC_Par_n);
    if (n < 0) return;
    uint16_t week = static_cast<uint16_t>(b.WNt + WEEK_ROLLOVER);
    if (utc_seen(NavIC_UTC_Par, n, b, week) || store_full(n, STORE_NAVIC_UTC, utc_key(b, WEEK_ROLLOVER))) return;
    store_utc(b, week, NavIC_UTC_Par[n]);
    NavIC_UTC_Par_n = n + 1;
}

// Galileo, with the GPS-to-Galileo offset: all stored records are
// compared; the store only grows.
void decode_EU() {
    UTC_body b = read_utc(EU);
    const int32_t n = append_slot(GAL_UTC_Par, GAL_UTC_Par_n);
    if (n < 0) return;
    uint16_t week = static_cast<uint16_t>(b.WNt + WEEK_ROLLOVER);
    if (utc_seen(GAL_UTC_Par, n, b, week) || store_full(n, STORE_GAL_UTC, utc_key(b, WEEK_ROLLOVER))) return;
    UTC_GGTO_Par& r = GAL_UTC_Par[n];
    store_utc(b, week, r);
    r.a0G = rd_f32(EU, 23);
    r.a1G = rd_f32(EU, 27);
    r.t0G = rd_u32(EU, 31);
    r.WN0G = static_cast<uint16_t>(rd_u16(EU, 35) + WEEK_ROLLOVER);
    GAL_UTC_Par_n = n + 1;
    Leap_sec = b.dtLS;
}

// SBAS: only the last record is compared. The reader fills the body only
// for its one known length (stored at 36); with any other length the record
// holds no body of this message, so nothing is decoded.
void decode_WU() {
    constexpr uint32_t WU_LENGTH = 32;
    if (rd_u32(WU, 36) != WU_LENGTH) return;
    UTC_body b = read_utc(WU);
    const int32_t n = append_slot(SBAS_UTC_Par, SBAS_UTC_Par_n);
    if (n < 0) return;
    if (n >= 1) {
        const UTC_SBAS_Par& last = SBAS_UTC_Par[n - 1];
        if (last.A0 == b.A0 && last.A1 == b.A1 && last.tot == b.tot) return;
    }
    if (store_full(n, STORE_SBAS_UTC, utc_key(b, 0))) return;
    UTC_SBAS_Par& r = SBAS_UTC_Par[n];
    r.A0 = b.A0;
    r.A1 = b.A1;
    r.tot = b.tot;
    r.WNt = b.WNt;
    r.dtLS = b.dtLS;
    r.DN = b.DN;
    r.WNlsf = b.WNlsf;
    r.dtLSF = b.dtLSF;
    for (int i = 0; i < 7; ++i) r.date[i] = RCV_date.v[i];
    r.b23 = rd_u8(WU, 23);
    r.w24 = rd_u32(WU, 24);
    r.w28 = rd_u16(WU, 28);
    r.b30 = rd_u8(WU, 30);
    SBAS_UTC_Par_n = n + 1;
    Leap_sec = b.dtLS;
}

// GLONASS: one record, overwritten by every message.
void decode_NU() {
    GLO_Time_Par.corr0 = rd_f64(NU, 0);
    GLO_Time_Par.corr1 = rd_f32(NU, 8);
    for (int i = 0; i < 8; ++i) GLO_Time_Par.rest[i] = NU[12 + i];
    GLO_Time_Par.has_message = true;
    GLO_Time_Par.received = Epoch_reading;
}

// First-pass decoders of navigation data.
#include "decode/aux_decoder_func.h"

#include <cmath>
#include <cstdint>

#include "decode/Decode_func.h"
#include "decode/le_read.h"
#include "stores/VLX_msgs.h"
#include "stores/VLX_objects.h"

// ===================================================================
// GPS and QZSS ephemerides
// ===================================================================

namespace {

constexpr double GPS_SEMICIRCLE = 3.141592653589793;

// Accuracy in whole metres from the URA index: up to 6 (negatives too)
// 2^(i/2+1) with the division toward zero, 7..15 2^(i-2); larger indices
// are kept as they are.
int32_t gps_ura_metres(int32_t i) {
    if (i <= 6) return static_cast<int32_t>(std::ldexp(1.0, i / 2 + 1));
    if (i <= 15) return static_cast<int32_t>(std::ldexp(1.0, i - 2));
    return i;
}

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

// Week of a time of week that may lie on the other side of a week boundary
// from the transmission time.
int gps_week_of(int w, int64_t time_of_week, int64_t tx) {
    if (time_of_week - tx > 302400) return w - 1;
    if (time_of_week - tx < -302400) return w + 1;
    return w;
}

// Navigation message type from the CNAV flag byte. The two long layouts
// rank the flag bits differently; no bit set keeps the slot's type.
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
// record (same satellite, toe and type). Fields a message does not carry
// keep what the slot held. A full store drops the message.
void decode_gps_like(const unsigned char* m, GPS_Ephemeris* store, int32_t& count) {
    if (count < 0 || count >= EPH_STORE_SIZE) return;
    GPS_Ephemeris& r = store[count];
    const uint32_t len = rd_u32(m, 180);

    if (len == 123) {
        r.type = Eph_type[0];
        r.SV = rd_u8(m, 0);
    }
    r.tx_time = rd_u32(m, 1);
    r.flags = rd_u8(m, 5);
    r.IODC = rd_i16(m, 6);
    r.toc = rd_i32(m, 8);
    r.accuracy = gps_ura_metres(rd_i8(m, 12));
    r.health = rd_u8(m, 13);
    const int w = gps_resolve_week(rd_i16(m, 14), get_GPS_week_from_receiver_date());

    r.TGD = rd_f32(m, 16);
    r.af2 = rd_f32(m, 20);
    r.af1 = rd_f32(m, 24);
    r.af0 = rd_f32(m, 28);
    r.toe = rd_i32(m, 32);
    r.IODE = rd_u16(m, 36);
    r.sqrtA = rd_f64(m, 38);
    r.e = rd_f64(m, 46);
    r.M0 = rd_f64(m, 54) * GPS_SEMICIRCLE;
    r.OMEGA0 = rd_f64(m, 62) * GPS_SEMICIRCLE;
    r.i0 = rd_f64(m, 70) * GPS_SEMICIRCLE;
    r.omega = rd_f64(m, 78) * GPS_SEMICIRCLE;
    r.delta_n = static_cast<float>(static_cast<double>(rd_f32(m, 86)) * GPS_SEMICIRCLE);
    r.OMEGA_DOT = static_cast<float>(static_cast<double>(rd_f32(m, 90)) * GPS_SEMICIRCLE);
    r.IDOT = static_cast<float>(static_cast<double>(rd_f32(m, 94)) * GPS_SEMICIRCLE);
    r.Crc = rd_f32(m, 98);
    r.Crs = rd_f32(m, 102);
    r.Cuc = rd_f32(m, 106);
    r.Cus = rd_f32(m, 110);
    r.Cic = rd_f32(m, 114);
    r.Cis = rd_f32(m, 118);

    if (len == 160 || len == 168) {
        r.SV = rd_u8(m, 0);
        r.cnav_flags = rd_u8(m, 122);
        if (len == 160) gps_type_160(r, r.cnav_flags);
        else gps_type_168(r, r.cnav_flags);
        r.t_op = rd_i32(m, 123);
        r.spare = rd_u32(m, 127);
        r.A_dot = rd_f64(m, 131);
        r.delta_n_dot = static_cast<float>(static_cast<double>(rd_f32(m, 139)) * GPS_SEMICIRCLE);
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
    const int64_t tx = r.tx_time;
    const int week_toc = gps_week_of(w, r.toc, tx);
    const int week_toe = gps_week_of(w, r.toe, tx);
    set_GPS_EPH_date(week_toc, r.toc, r.clock_epoch.v);
    if (r.type == Eph_type[0]) {
        r.week = static_cast<uint16_t>(week_toe);
        if (r.IODC < 240) r.fit_interval = 4.0f;
    } else {
        r.week = static_cast<uint16_t>(week_toc);
    }

    for (int32_t k = 0; k < count; ++k) {
        const GPS_Ephemeris& o = store[k];
        if (o.SV == r.SV && o.toe == r.toe && o.type == r.type) {
            r.SV = 0;  // a repeat: the slot is reused by the next message
            return;
        }
    }
    ++count;
}

}  // namespace

void decode_GE() { decode_gps_like(GE, GPS_Eph, GPS_SV_index); }
void decode_QE() { decode_gps_like(QE, QZSS_Eph, QZSS_SV_index); }

// ===================================================================
// Galileo, BeiDou and NavIC ephemerides
// ===================================================================

// Decoded in a later step of the work.
void decode_EN() {}
void decode_CN() {}
void decode_IE() {}

// ===================================================================
// GLONASS and SBAS ephemerides
// ===================================================================

// Decoded in a later step of the work.
void decode_NE() {}
void decode_WE() {}

// ===================================================================
// Ionosphere and time-system parameters
// ===================================================================

// Decoded in a later step of the work.
void decode_IO() {}
void decode_QI() {}
void decode_II() {}
void decode_CI() {}
void decode_UO() {}
void decode_QU() {}
void decode_CU() {}
void decode_IU() {}
void decode_EU() {}
void decode_WU() {}
void decode_NU() {}

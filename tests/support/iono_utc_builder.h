// Builds the ionosphere ("IO", "QI", "II", "CI") and time-system ("UO",
// "QU", "CU", "IU", "EU", "WU", "NU") messages from their fields.
#pragma once

#include <cstdint>
#include <string>

#include "vlxlog/vlx_builder.h"

namespace vlxlog {

// Klobuchar coefficients of an ionosphere message.
struct Klob {
    float a[4];
    float b[4];
};

// Ionosphere body: tot, week, alpha0..3, beta0..3.
inline std::string iono_msg(const char* id, const Klob& k, uint32_t tot = 0, uint16_t week = 0) {
    std::string p = le32(tot) + le16(week);
    for (float v : k.a) p += f32(v);
    for (float v : k.b) p += f32(v);
    return frame(id, p);
}

// The UTC body that every time-system message but "NU" starts with.
struct Utc {
    double A0;
    float A1;
    uint32_t tot;
    uint16_t WNt;  // as transmitted
    int8_t dtLS;
    uint8_t DN;
    uint16_t WNlsf;
    int8_t dtLSF;
};

inline std::string utc_payload(const Utc& u) {
    return f64(u.A0) + f32(u.A1) + le32(u.tot) + le16(u.WNt) + i8(u.dtLS) + u8(u.DN) + le16(u.WNlsf) +
           i8(u.dtLSF);
}
inline std::string utc_msg(const char* id, const Utc& u) { return frame(id, utc_payload(u)); }
// Galileo, with the GPS-to-Galileo offset.
inline std::string eu_msg(const Utc& u, float a0G, float a1G, uint32_t t0G, uint16_t WN0G) {
    return frame("EU", utc_payload(u) + f32(a0G) + f32(a1G) + le32(t0G) + le16(WN0G));
}
// SBAS: the UTC body and four values kept as received (L = 32).
inline std::string wu_msg(const Utc& u, uint8_t b23 = 0, uint32_t w24 = 0, uint16_t w28 = 0, uint8_t b30 = 0) {
    return frame("WU", utc_payload(u) + u8(b23) + le32(w24) + le16(w28) + u8(b30));
}
// GLONASS: the double and the float the writers print, then 8 bytes kept.
inline std::string nu_msg(double corr0, float corr1, const std::string& rest8 = std::string(8, '\0')) {
    return frame("NU", f64(corr0) + f32(corr1) + rest8);
}

}  // namespace vlxlog

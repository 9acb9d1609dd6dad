// Navigation records.
#include "rinex_nav/Rin_NAV_Data_record.h"

#include <vector>

#include "decode/Decode_func.h"
#include "rinex_common/Rinex_format.h"
#include "stores/VLX_objects.h"

// ===================================================================
// Record format shared by every constellation
// ===================================================================

std::ostream& operator<<(std::ostream& os, const format_OUT& v) { return os << v.value; }

void nav_value(std::string& line, double v) { fmt_sci(line, v, 19, 12); }

void nav_blank(std::string& line) { fmt_blanks(line, 19); }

void nav_sv_epoch(std::string& line, const std::string& letter, long long sv, const double date[6]) {
    line += letter;
    fmt_int0(line, sv, 2);
    fmt_fixed(line, date[0], 5, 0);
    for (int i = 1; i < 6; ++i) {
        line += ' ';
        fmt_fixed0(line, date[i], 2, 0);
    }
}

void nav_eph_header(std::ostream& os, const std::string& letter, long long sv, const std::string& type) {
    std::string line = "> EPH ";
    line += letter;
    fmt_int0(line, sv, 2);
    fmt_right(line, type, 5);
    put_line(os, line);
}

void nav_orbit_line(std::ostream& os, std::initializer_list<double> values, int blank_fields) {
    std::string line = "    ";
    for (double v : values) nav_value(line, v);
    for (int k = 0; k < blank_fields; ++k) nav_blank(line);
    put_line(os, line);
}

// ===================================================================
// GPS and QZSS ephemeris records
// ===================================================================

namespace {

// The transmission time moved by one week when it lies more than half a
// week from the reference time (toe for LNAV, toc for CNAV and CNAV-2).
double gps_tx_time(uint32_t tx, int32_t ref) {
    return static_cast<double>(tx + week_crossing(tx, ref) * SECONDS_PER_WEEK);
}

void gps_sv_epoch_line(std::ostream& os, const std::string& letter, long long sv, const GPS_Ephemeris& r,
                       double c0, double c1, double c2) {
    double date[6];
    for (int k = 0; k < 6; ++k) date[k] = r.clock_epoch.v[k];
    std::string line;
    nav_sv_epoch(line, letter, sv, date);
    nav_value(line, c0);
    nav_value(line, c1);
    nav_value(line, c2);
    put_line(os, line);
}

// Health is printed as a signed 32-bit value, the week as a signed 16-bit
// one; every stored value is printed whole. QZSS differs in two fields of
// the standard's record: the L2 P data flag is always 1 (QZSS has no L2 P
// code), and the field after the transmission time is the fit-interval
// flag (0: the normal fit of 4 hours, or none; 1: longer) instead of the
// fit interval in hours.
void gps_lnav_record(std::ostream& os, const std::string& letter, long long sv, const GPS_Ephemeris& r,
                     bool with_head, bool qzss) {
    const double l2p_flag = qzss ? 1.0 : static_cast<double>((r.flags >> 1) & 1);
    const double fit = qzss ? (r.fit_interval > 4.0f ? 1.0 : 0.0) : r.fit_interval;
    if (with_head) nav_eph_header(os, letter, sv, r.type);
    gps_sv_epoch_line(os, letter, sv, r, r.af0, r.af1, r.af2);
    nav_orbit_line(os, {static_cast<double>(r.IODE), r.Crs, r.delta_n, r.M0});
    nav_orbit_line(os, {r.Cuc, r.e, r.Cus, r.sqrtA});
    nav_orbit_line(os, {static_cast<double>(r.toe), r.Cic, r.OMEGA0, r.Cis});
    nav_orbit_line(os, {r.i0, r.Crc, r.omega, r.OMEGA_DOT});
    nav_orbit_line(os, {r.IDOT, static_cast<double>((r.flags >> 2) & 1),
                        static_cast<double>(static_cast<int16_t>(r.week)), l2p_flag});
    nav_orbit_line(os, {static_cast<double>(r.accuracy), static_cast<double>(static_cast<int32_t>(r.health)), r.TGD,
                        static_cast<double>(r.IODC)});
    nav_orbit_line(os, {gps_tx_time(r.tx_time, r.toe), fit});
}

// CNAV and CNAV-2 share their first seven lines; the clock offset carries
// the clock-bias addend of the message (the exact sum of the two floats).
void gps_cnav_record(std::ostream& os, const std::string& letter, long long sv, const GPS_Ephemeris& r,
                     bool cnav2) {
    const double week = static_cast<int16_t>(r.toc_week);
    nav_eph_header(os, letter, sv, r.type);
    gps_sv_epoch_line(os, letter, sv, r, static_cast<double>(r.af0) + r.clock_bias_addend, r.af1, r.af2);
    nav_orbit_line(os, {r.A_dot, r.Crs, r.delta_n, r.M0});
    nav_orbit_line(os, {r.Cuc, r.e, r.Cus, r.sqrtA});
    nav_orbit_line(os, {static_cast<double>(r.t_op), r.Cic, r.OMEGA0, r.Cis});
    nav_orbit_line(os, {r.i0, r.Crc, r.omega, r.OMEGA_DOT});
    nav_orbit_line(os, {r.IDOT, r.delta_n_dot, static_cast<double>(r.URA_NED0), static_cast<double>(r.URA_NED1)});
    nav_orbit_line(os, {static_cast<double>(r.URA_ED), static_cast<double>(static_cast<int32_t>(r.health)), r.TGD,
                        static_cast<double>(r.URA_NED2)});
    if (cnav2) {
        nav_orbit_line(os, {}, 4);
        nav_orbit_line(os, {r.ISC_L1C[1], r.ISC_L1C[0]});
    } else {
        nav_orbit_line(os, {r.ISC[0], r.ISC[1], r.ISC[2], r.ISC[3]});
    }
    nav_orbit_line(os, {gps_tx_time(r.tx_time, r.toc), week});
}

// Every non-empty slot of a GPS-like store in store order. RINEX 3.05 has
// LNAV records only, without header lines; RINEX 4 has all three types.
void gps_like_records(std::ostream& os, const std::vector<GPS_Ephemeris>& store, const std::string& letter,
                      long long sv_offset, bool rinex4, bool qzss) {
    for (const GPS_Ephemeris& r : store) {
        if (r.SV == 0) continue;
        const long long sv = static_cast<long long>(r.SV) - sv_offset;
        if (r.type == Eph_type[0]) gps_lnav_record(os, letter, sv, r, rinex4, qzss);
        else if (rinex4 && r.type == Eph_type[1]) gps_cnav_record(os, letter, sv, r, false);
        else if (rinex4 && r.type == Eph_type[2]) gps_cnav_record(os, letter, sv, r, true);
    }
}

}  // namespace

void Add_GPS_Ephemeris(std::ofstream& os) {
    gps_like_records(os, GPS_Eph, SatSys[SYS_GPS], 0, Rinex_Ver >= 4.0, false);
}

// QZSS has only the RINEX 4 form; its numbers 193.. are written J01...
void Add_QZSS_Ephemeris(std::ofstream& os) { gps_like_records(os, QZSS_Eph, SatSys[SYS_QZSS], 192, true, true); }

// ===================================================================
// Galileo, BeiDou and NavIC ephemeris records
// ===================================================================

// Line builders of the Galileo, BeiDou, NavIC, GLONASS and SBAS records.
namespace ephrec {

// The BeiDou record header line: its type follows a single blank, without
// fill ("> EPH C06 D1"), unlike the five right-aligned columns of the
// other systems.
void bds_record_header(std::ostream& os, long long sv, const std::string& type) {
    std::string line = "> EPH ";
    line += SatSys[SYS_BDS];
    fmt_int0(line, sv, 2);
    line += ' ';
    line += type;
    put_line(os, line);
}

void epoch_of(const RCV_Epoch& e, double date[6]) {
    for (int i = 0; i < 6; ++i) date[i] = e.v[i];
}

// Satellite, epoch and clock line: the date, then af0, af1 and af2.
void kepler_clock_line(std::ostream& os, const std::string& letter, const Kepler_head& h,
                       const RCV_Epoch& epoch) {
    double date[6];
    epoch_of(epoch, date);
    std::string line;
    nav_sv_epoch(line, letter, h.SV, date);
    nav_value(line, h.af0);
    nav_value(line, h.af1);
    nav_value(line, h.af2);
    put_line(os, line);
}

// Orbit lines 2 to 4, common to every Keplerian record.
void kepler_orbit_2_to_4(std::ostream& os, const Kepler_head& h) {
    nav_orbit_line(os, {h.Cuc, h.e, h.Cus, h.sqrtA});
    nav_orbit_line(os, {static_cast<double>(h.toe), h.Cic, h.OMEGA0, h.Cis});
    nav_orbit_line(os, {h.i0, h.Crc, h.omega, h.OMEGA_DOT});
}

// Week and health are read as signed values.
double signed_week(const Kepler_head& h) { return static_cast<int16_t>(h.week); }
double signed_health(const Kepler_head& h) { return static_cast<int32_t>(h.health); }

bool rinex4() { return Rinex_Ver >= 4.0; }

}  // namespace ephrec

void Add_GAL_Ephemeris(std::ofstream& os) {
    for (const GAL_Ephemeris& r : GAL_Eph) {
        if (r.SV == 0) continue;
        if (ephrec::rinex4()) nav_eph_header(os, SatSys[SYS_GAL], r.SV, r.type);
        ephrec::kepler_clock_line(os, SatSys[SYS_GAL], r, r.clock_epoch);
        nav_orbit_line(os, {static_cast<double>(r.IODE), r.Crs, r.delta_n, r.M0});
        ephrec::kepler_orbit_2_to_4(os, r);
        nav_orbit_line(os, {r.IDOT, static_cast<double>(r.data_source_word), ephrec::signed_week(r), 0.0});
        nav_orbit_line(os, {r.SISA, ephrec::signed_health(r), r.BGD_E5a, r.BGD_E5b});
        // The transmission time is written as stored, with no week adjustment.
        nav_orbit_line(os, {static_cast<double>(r.tx_time)});
    }
}

namespace ephrec {

// The orbit lines of a BeiDou record by its type; a record of an unknown
// type has none.
void bds_orbit_lines(std::ostream& os, const BDS_Ephemeris& r) {
    const double tx = r.tx_time;  // as stored, with no week adjustment
    if (r.type == "D1" || r.type == "D2") {
        nav_orbit_line(os, {static_cast<double>(r.AODE), r.Crs, r.delta_n, r.M0});
        kepler_orbit_2_to_4(os, r);
        nav_orbit_line(os, {r.IDOT, 0.0, signed_week(r), 0.0});
        nav_orbit_line(os, {static_cast<double>(r.accuracy), signed_health(r), r.TGD, r.TGD2});
        nav_orbit_line(os, {tx, static_cast<double>(r.AODC)});
        return;
    }
    const bool cnv1 = r.type == "CNV1", cnv2 = r.type == "CNV2", cnv3 = r.type == "CNV3";
    if (!cnv1 && !cnv2 && !cnv3) return;

    // The CNAV accuracy value of the message stands as SISAI_oe, the
    // accuracy of the head as SISMAI. t_op, the clock accuracy indices
    // SISAI_ocb/oc1/oc2, the integrity flags and ISC_B1Cd / ISC_B2ad are
    // not in the log: 0.
    const double sismai = r.accuracy;
    nav_orbit_line(os, {r.A_dot, r.Crs, r.delta_n, r.M0});
    kepler_orbit_2_to_4(os, r);
    // IDOT, Delta n0 dot, satellite type, t_op.
    nav_orbit_line(os, {r.IDOT, r.delta_n_dot, static_cast<double>(r.sat_type), 0.0});
    // SISAI_oe, SISAI_ocb, SISAI_oc1, SISAI_oc2.
    nav_orbit_line(os, {r.cnav_accuracy, 0.0, 0.0, 0.0});
    if (cnv3) {
        // SISMAI, health, integrity flags, TGD_B2bI; transmission time.
        nav_orbit_line(os, {sismai, signed_health(r), 0.0, r.TGD2});
        nav_orbit_line(os, {tx});
        return;
    }
    // CNAV-1: ISC_B1Cd, spare; CNAV-2: spare, ISC_B2ad; then TGD_B1Cp and
    // TGD_B2ap for both.
    nav_orbit_line(os, {0.0, 0.0, r.TGD, r.TGD2});
    // SISMAI, health, integrity flags, IODC.
    nav_orbit_line(os, {sismai, signed_health(r), 0.0, static_cast<double>(r.IODC)});
    // Transmission time, spare, spare, IODE.
    nav_orbit_line(os, {tx, 0.0, 0.0, static_cast<double>(r.IODE)});
}

}  // namespace ephrec

void Add_BDS_Ephemeris(std::ofstream& os) {
    for (const BDS_Ephemeris& r : BDS_Eph) {
        if (r.SV == 0) continue;
        // RINEX 3.05 knows only the D1 and D2 messages; RINEX 4 starts every
        // record and only then looks at its type.
        if (!ephrec::rinex4() && r.type != "D1" && r.type != "D2") continue;
        if (ephrec::rinex4()) ephrec::bds_record_header(os, r.SV, r.type);
        ephrec::kepler_clock_line(os, SatSys[SYS_BDS], r, r.clock_epoch);
        ephrec::bds_orbit_lines(os, r);
    }
}

void Add_NavIC_Ephemeris(std::ofstream& os) {
    const std::string& I = SatSys[SYS_NAVIC];
    for (const NavIC_Ephemeris& r : NavIC_Eph) {
        if (r.SV < 1 || r.SV > 256) continue;
        if (ephrec::rinex4()) nav_eph_header(os, I, r.SV, "LNAV");
        ephrec::kepler_clock_line(os, I, r, r.clock_epoch);
        nav_orbit_line(os, {static_cast<double>(r.IODE), r.Crs, r.delta_n, r.M0});
        ephrec::kepler_orbit_2_to_4(os, r);
        // The standard's NavIC record leaves spare fields: fields 2 and 4
        // of this line (IDOT, spare, week, spare), the fourth of the next
        // one and the last three of the one after. They stay blank, their
        // 19 columns kept so that a reader cutting fixed fields finds the
        // week and the transmission time in their own; the last line ends
        // after the transmission time, for readers that count fields.
        std::string line = "    ";
        nav_value(line, r.IDOT);
        nav_blank(line);
        nav_value(line, ephrec::signed_week(r));
        nav_blank(line);
        put_line(os, line);
        nav_orbit_line(os, {static_cast<double>(r.accuracy), ephrec::signed_health(r), r.TGD}, 1);
        // The transmission time is written as stored, with no week adjustment.
        nav_orbit_line(os, {static_cast<double>(r.tx_time)});
    }
}

// ===================================================================
// GLONASS and SBAS ephemeris records
// ===================================================================

namespace {

// Status flags of orbit line 4: bit fields of the flag byte (B) and the
// flag word (F) placed side by side.
struct BitMove {
    bool from_word;  // F (true) or B (false)
    int from_bit, width, to_bit;
};
constexpr BitMove GLO_STATUS_BITS[] = {
    {true, 1, 2, 0},   // F bits 1-2
    {false, 0, 2, 2},  // B bits 0-1
    {false, 2, 1, 4},  // B bit 2
    {false, 3, 1, 5},  // B bit 3
    {true, 3, 1, 6},   // F bit 3
    {true, 4, 2, 7},   // F bits 4-5
};
// Health flags: bits 3 and 4 of the health byte and bit 0 of the flag word.
constexpr BitMove GLO_HEALTH_BITS[] = {
    {false, 3, 1, 0},
    {false, 4, 1, 1},
    {true, 0, 1, 2},
};

template <size_t N>
unsigned gather_bits(const BitMove (&moves)[N], unsigned byte, unsigned word) {
    unsigned v = 0;
    for (const BitMove& m : moves) {
        unsigned src = m.from_word ? word : byte;
        v |= ((src >> m.from_bit) & ((1u << m.width) - 1)) << m.to_bit;
    }
    return v;
}

// SBAS user range accuracy in metres by index 0..14; index 15 means "do
// not use" (its own accuracy and health value), above 15 no record.
constexpr double SBAS_URA_METRES[15] = {2.4, 3.4, 4.85, 6.85, 9.65, 13.65, 24,  48,
                                        96,  192, 384,  768,  1536, 3072,  6144};
constexpr double SBAS_URA_DO_NOT_USE = 32767.0;
constexpr double SBAS_HEALTH_USABLE = 31, SBAS_HEALTH_DO_NOT_USE = 63;

}  // namespace

void writeGloOrbit4(std::ofstream& os, const GLO_Ephemeris& e) {
    nav_orbit_line(os, {static_cast<double>(gather_bits(GLO_STATUS_BITS, e.flags, e.flags2)), e.delta_tau,
                        static_cast<double>(e.Ft),
                        static_cast<double>(gather_bits(GLO_HEALTH_BITS, e.health, e.flags2))});
}

void Add_GLO_Ephemeris(std::ofstream& os) {
    const std::string& R = SatSys[SYS_GLO];
    // A local walk: the store's count stays as the first pass left it.
    for (const GLO_Ephemeris& r : GLO_Eph) {
        if (r.SV == 0) continue;
        if (ephrec::rinex4()) nav_eph_header(os, R, r.SV, "FDMA");
        double date[6];
        ephrec::epoch_of(r.date, date);
        // Message frame time: seconds of the GPS-like week of N_T and t_k in
        // Moscow time, in 32-bit arithmetic (negative early on day 0).
        const int64_t tf64 = static_cast<int64_t>(r.day_number) * SECONDS_PER_DAY + r.tk - MOSCOW_OFFSET_S;
        const int32_t tf = static_cast<int32_t>(static_cast<uint32_t>(tf64)) % int32_t{SECONDS_PER_WEEK};
        std::string line;
        nav_sv_epoch(line, R, r.SV, date);
        nav_value(line, static_cast<float>(-r.tau));
        nav_value(line, r.gamma);
        nav_value(line, tf);
        put_line(os, line);
        nav_orbit_line(os, {r.pos[0], r.vel[0], r.acc[0], static_cast<double>(r.health & 1)});
        nav_orbit_line(os, {r.pos[1], r.vel[1], r.acc[1], static_cast<double>(r.freq)});
        nav_orbit_line(os, {r.pos[2], r.vel[2], r.acc[2], static_cast<double>(r.age)});
        writeGloOrbit4(os, r);
    }
}

void Add_SBAS_Ephemeris(std::ofstream& os) {
    const std::string& S = SatSys[SYS_SBAS];
    // A local walk: the store's count stays as the first pass left it.
    for (const SBAS_Ephemeris& r : SBAS_Eph) {
        if (r.SV == 0 || r.URA > 15) continue;
        const double accuracy = r.URA < 15 ? SBAS_URA_METRES[r.URA] : SBAS_URA_DO_NOT_USE;
        const double health = r.URA < 15 ? SBAS_HEALTH_USABLE : SBAS_HEALTH_DO_NOT_USE;

        // Dated by the reference time that also orders the store; the
        // message time is counted from the start of its week.
        const Sbas_time ref = sbas_reference_time(r);
        int d[6];
        GPS_week_tow_to_date(ref.week, ref.seconds, d);
        const double t_tm = r.tx_time + (r.week - ref.week) * static_cast<double>(SECONDS_PER_WEEK);

        const long long sv = static_cast<long long>(r.SV) - 100;
        nav_eph_header(os, S, sv, "SBAS");
        double date[6];
        for (int j = 0; j < 6; ++j) date[j] = d[j];
        std::string line;
        nav_sv_epoch(line, S, sv, date);
        nav_value(line, r.aGf0);
        nav_value(line, r.aGf1);
        nav_value(line, t_tm);
        put_line(os, line);
        // Metres to kilometres.
        nav_orbit_line(os, {r.pos[0] / 1000.0, r.vel[0] / 1000.0, r.acc[0] / 1000.0, health});
        nav_orbit_line(os, {r.pos[1] / 1000.0, r.vel[1] / 1000.0, r.acc[1] / 1000.0, accuracy});
        nav_orbit_line(os, {r.pos[2] / 1000.0, r.vel[2] / 1000.0, r.acc[2] / 1000.0,
                            static_cast<double>(r.IOD)});
    }
}

// ===================================================================
// RINEX 4 system-time-offset and ionosphere records
// ===================================================================

// The includes of this section stand here so that the sections of this
// file stay independent of each other.
#include <cmath>

#include "rinex_nav/Rin_hwriter.h"

namespace {

// Head line of a record: ">", the record kind, the system letter, the
// three columns 8-10 (`mid`) and the message type.
void put_record_head(std::ostream& os, const char* kind, const char* letter, const std::string& mid,
                     const char* type) {
    std::string line = "> ";
    line += kind;
    line += ' ';
    line += letter;
    line += mid;
    line += type;
    put_line(os, line);
}

// Year right-adjusted in 4 columns, then month, day, hour, minute and
// second as a blank and two zero-filled digits.
void put_int_date(std::string& line, const int date[6]) {
    fmt_int(line, date[0], 4);
    for (int i = 1; i < 6; ++i) {
        line += ' ';
        fmt_int0(line, date[i], 2);
    }
}

// The date of a reception time (ionosphere and GLONASS time records).
void put_reception_date(std::string& line, const Epoch_ms& t) {
    int date[6];
    reception_date(t, date);
    put_int_date(line, date);
}

// The same from float date fields, rounded to whole numbers.
void put_float_date(std::string& line, const float date[6]) {
    fmt_fixed(line, static_cast<double>(date[0]), 4, 0);
    for (int i = 1; i < 6; ++i) {
        line += ' ';
        fmt_fixed0(line, static_cast<double>(date[i]), 2, 0);
    }
}

// One time-offset record: head line, the date with the time-offset and UTC
// identifiers (no SBAS identifier), then the transmission time, a0, a1 and
// a2.
void put_sto(std::ostream& os, const char* letter, const char* type, const std::string& date,
             const char* id, const char* utc_id, double tx, double a0, double a1, double a2) {
    put_record_head(os, "STO", letter, "   ", type);
    std::string line = "    " + date + ' ';
    fmt_left(line, id, 18);
    line += ' ';
    fmt_blanks(line, 18);
    line += ' ';
    fmt_left(line, utc_id, 18);
    put_line(os, line);
    line = "    ";
    nav_value(line, tx);
    nav_value(line, a0);
    nav_value(line, a1);
    nav_value(line, a2);
    put_line(os, line);
    os.flush();
}

// What a time-offset record takes from a stored record: the week and time
// of week of its reference time, and a0, a1, a2.
struct Sto_values {
    uint16_t week;
    uint32_t tow;
    double a0, a1, a2;
};
Sto_values utc_values(const UTC_Par& r) { return {r.WNt, r.tot, r.A0, r.A1, r.A2}; }

// The records 0 .. count-1 of a UTC store, never past its end, each with
// the values that `values` takes from it. A store in BeiDou time (bdt) has
// its weeks dated as GPS weeks BDS_GPS_WEEK_OFFSET later, and the
// transmission time (the reception time of the message) counted in the
// BeiDou week.
template <typename Rec, typename Values>
void put_sto_store(std::ostream& os, const std::vector<Rec>& store, int32_t count, const char* letter,
                   const char* type, const char* id, const char* utc_id, bool bdt, Values values) {
    each_stored(store, count, [&](const Rec& r) {
        const Sto_values v = values(r);
        int date[6];
        GPS_week_tow_to_date(static_cast<uint16_t>(v.week + (bdt ? BDS_GPS_WEEK_OFFSET : 0)), v.tow, date);
        std::string d;
        put_int_date(d, date);
        const double tx = seconds_of_week(r.received, bdt ? BDT_BEHIND_GPS_S : 0);
        put_sto(os, letter, type, d, id, utc_id, tx, v.a0, v.a1, v.a2);
    });
}

// One Klobuchar ionosphere record: the head, then the date and alpha0..2,
// alpha3 and beta0..2, and beta3.
void put_ion(std::ostream& os, const char* letter, const std::string& mid, const char* type,
             const std::string& date, const Iono_Par& r) {
    put_record_head(os, "ION", letter, mid, type);
    std::string line = "    " + date;
    for (int i = 0; i < 3; ++i) nav_value(line, r.alpha[i]);
    put_line(os, line);
    line = "    ";
    nav_value(line, r.alpha[3]);
    for (int i = 0; i < 3; ++i) nav_value(line, r.beta[i]);
    put_line(os, line);
    line = "    ";
    nav_value(line, r.beta[3]);
    put_line(os, line);
    os.flush();
}

// GPS, QZSS and NavIC: the stored records with a non-zero alpha0; a record
// of zeros is left out, and hides none of the records after it.
void put_ion_records(std::ostream& os, const std::vector<Iono_Par>& store, int32_t count, const char* letter) {
    each_stored(store, count, [&](const Iono_Par& r) {
        if (r.alpha[0] == 0) return;
        std::string d;
        put_reception_date(d, r.received);
        put_ion(os, letter, "   ", "LNAV", d, r);
    });
}

}  // namespace

int Add_GPS_Nav_File_Time_corr_mixed(std::ofstream& os) {
    put_sto_store(os, GPS_UTC_Par, GPS_UTC_Par_n, "G", "LNAV", "GPUT", "UTC(USNO)", false, utc_values);
    return 1;
}

int Add_QZSS_Nav_File_Time_corr_mixed(std::ofstream& os) {
    put_sto_store(os, QZSS_UTC_Par, QZSS_UTC_Par_n, "J", "LNAV", "QZUT", "UTC(NICT)", false, utc_values);
    return 1;
}

int Add_NavIC_Nav_File_Time_corr_mixed(std::ofstream& os) {
    put_sto_store(os, NavIC_UTC_Par, NavIC_UTC_Par_n, "I", "LNAV", "IRUT", "UTCIRN", false, utc_values);
    return 1;
}

int Add_BDS_Nav_File_Time_corr_mixed(std::ofstream& os) {
    put_sto_store(os, BDS_UTC_Par, BDS_UTC_Par_n, "C", "D1D2", "BDUT", "UTC(NTSC)", true, utc_values);
    return 1;
}

// Galileo: the GAUT records (to UTC), then from the same messages the GAGP
// records (GPS to Galileo time: a0G, a1G, dated by WN0G and t0G; no UTC
// identifier, and no a2 in the message).
int Add_GAL_Nav_File_Time_corr_mixed(std::ofstream& os) {
    put_sto_store(os, GAL_UTC_Par, GAL_UTC_Par_n, "E", "IFNV", "GAUT", "UTCGAL", false, utc_values);
    put_sto_store(os, GAL_UTC_Par, GAL_UTC_Par_n, "E", "IFNV", "GAGP", "", false, [](const UTC_GGTO_Par& r) {
        return Sto_values{r.WN0G, r.t0G, r.a0G, r.a1G, 0.0};
    });
    return 1;
}

// GLONASS: a GLUT and a GLGP record when the log held a time message,
// dated by the day it arrived, with the offsets of the 3.05 lines and the
// reception time of the message. Without one there is nothing to state
// (a record of zeros would carry no date at all).
int Add_GLO_Nav_File_Time_corr_mixed(std::ofstream& os) {
    if (!GLO_Time_Par.has_message) return 1;
    int d[6];
    reception_date(GLO_Time_Par.received, d);
    d[3] = d[4] = d[5] = 0;
    std::string date;
    put_int_date(date, d);
    const double tx = seconds_of_week(GLO_Time_Par.received, 0);
    put_sto(os, "R", "FDMA", date, "GLUT", "UTC(SU)", tx, GLO_GLUT_a0(), 0.0, 0.0);
    put_sto(os, "R", "FDMA", date, "GLGP", "", tx, GLO_GLGP_a0(), 0.0, 0.0);
    return 1;
}

// SBAS time parameters have no record in the file.
int Add_SBAS_Nav_File_Time_corr_mixed(std::ofstream&) { return 1; }

int Add_GPS_Nav_File_iono_mixed(std::ofstream& os) {
    put_ion_records(os, Iono_GPS, GPS_ION_Par_n, "G");
    return 1;
}

int Add_QZSS_Nav_File_iono_mixed(std::ofstream& os) {
    put_ion_records(os, Iono_QZSS, QZSS_ION_Par_n, "J");
    return 1;
}

int Add_NavIC_Nav_File_iono_mixed(std::ofstream& os) {
    put_ion_records(os, Iono_NavIC, NavIC_ION_Par_n, "I");
    return 1;
}

// BeiDou: the stored records that pass the plausibility test, each headed
// by its satellite.
int Add_BDS_Nav_File_iono_mixed(std::ofstream& os) {
    each_stored(Iono_BDS, BDS_ION_Par_n, [&](const Iono_Par& r) {
        if (!isValidBdsIon(r)) return;
        std::string d;
        put_reception_date(d, r.received);
        std::string mid;
        fmt_int0(mid, r.SV, 2);
        mid += ' ';
        put_ion(os, "C", mid, "D1D2", d, r);
    });
    return 1;
}

// Galileo: one record from the first ephemeris record: its clock epoch,
// ai0..ai2, and the low five bits of its ionosphere flag byte; none
// without a Galileo ephemeris, whose empty record would state zeros at no
// date.
int Add_GAL_Nav_File_iono_mixed(std::ofstream& os) {
    if (GAL_SV_index < 1 || GAL_Eph.empty()) return 1;
    const GAL_Ephemeris& e = GAL_Eph[0];
    put_record_head(os, "ION", "E", "   ", "IFNV");
    std::string line = "    ";
    put_float_date(line, e.clock_epoch.v);
    nav_value(line, e.ai0);
    nav_value(line, e.ai1);
    nav_value(line, e.ai2);
    put_line(os, line);
    line = "    ";
    nav_value(line, e.iono_flags & 0x1F);
    put_line(os, line);
    os.flush();
    return 1;
}

// Second-pass dispatch and the receiver-information decoders: receiver
// name, firmware and ids, antenna type and offsets, position, time offset,
// the satellite-system marker and the GLONASS slot table. Observation
// messages stay in their raw records until the epoch closes.
#include "decode/VLX_decode.h"

#include "decode/Decode_OBS.h"
#include "decode/VLX_reader.h"
#include "decode/le_read.h"
#include "stores/Sat_type.h"
#include "stores/VLX_msgs.h"
#include "stores/VLX_objects.h"

namespace {

// Text of a record from `from` to the first NUL, never beyond `end` (a
// body that fills its record has no NUL of its own).
int text_end(const unsigned char* rec, int from, int end) {
    int i = from;
    while (i < end && rec[i] != 0) ++i;
    return i;
}

constexpr int JP_TEXT_AT = 5, JP_SIZE = 87;
constexpr int PM_TEXT_SIZE = 4096;         // text area of "PM"; the trailing values follow
constexpr int EV_TEXT_AT = 5, EV_TEXT_END = 105;  // the checksum sits at 105
constexpr int NN_SLOTS = 24;               // slot bytes the "NN" record holds
constexpr int GLO_PAIRS = 32, GLO_PAIR_COUNT = 59, GLO_SLOT_AT = 60;

struct Row {
    const char* id;
    void (*decode)();
};
// Identifier to decoder. The messages that open, date and end an epoch are
// the epoch framer's (VLX_reader): the pass decodes them at its steps.
const Row rows[] = {
    {"JP", decode_JP}, {"PM", decode_PM}, {"==", decode_FV}, {"AI", decode_AI},
    {"SX", decode_SX}, {"TO", decode_TO}, {"PV", decode_PV},
};

}  // namespace

bool decode_vlx(std::string& id) {
    for (const Row& r : rows)
        if (is_id(id, r.id)) {
            r.decode();
            return true;
        }
    return false;
}

// Receiver name: the first blank-ended token of the text other than "VLX";
// the message also starts the satellite tables afresh, unless they hold an
// epoch that is still to be written.
void decode_JP() {
    const int end = text_end(JP, JP_TEXT_AT, JP_SIZE);
    int start = JP_TEXT_AT;
    for (int i = JP_TEXT_AT; i < end; ++i) {
        if (JP[i] != ' ') continue;
        const std::string token(reinterpret_cast<const char*>(JP) + start, static_cast<size_t>(i - start));
        start = i + 1;
        if (token.empty() || token == "VLX") continue;
        RCV_NAME = token;
        break;
    }
    if (Epoch_held) return;
    clear_satellite_tables(CLEAR_LEADING);
}

// Firmware version, receiver id and IGS name: the text is a sequence of
// pieces between double quotes; a piece that equals one of the keys names
// the value in the piece that follows it.
void decode_PM() {
    static const char* const keys[3] = {"rcv/ver/main=", "rcv/id=", "rcv/igs="};
    std::string* const targets[3] = {&FW_VER, &RCV_ID, &RCV_IGS};
    const int end = text_end(PM, 0, PM_TEXT_SIZE);
    int key = -1;  // key named by the previous piece, -1: none
    int start = 0;
    for (int i = 0; i < end; ++i) {
        if (PM[i] != '"') continue;
        const std::string piece(reinterpret_cast<const char*>(PM) + start, static_cast<size_t>(i - start));
        if (key >= 0) {
            *targets[key] = piece;
            // The receiver id carries six characters at 20..25 that the
            // header does not show.
            if (key == 1 && RCV_ID.size() > 20) RCV_ID.erase(20, 6);
        }
        key = -1;
        for (int k = 0; k < 3; ++k)
            if (piece == keys[k]) key = k;
        start = i + 1;
    }
}

// Antenna type: the text is cut at each "="; the piece after the key
// "_ANT" is the type, kept with the character that ends it (the "=", or
// the last character of the text). The key counts only when byte 4 is 0.
void decode_FV() {
    const int end = text_end(EV, EV_TEXT_AT, EV_TEXT_END);
    const bool key_allowed = EV[4] == 0;
    bool after_key = false;
    std::string piece;
    for (int i = EV_TEXT_AT; i < end; ++i) {
        const char c = static_cast<char>(EV[i]);
        const bool last = i + 1 == end;
        if (c != '=' && !last) {
            piece += c;
            continue;
        }
        if (after_key) {
            piece += c;
            ANT_Type = piece;
        }
        after_key = key_allowed && piece == "_ANT";
        piece.clear();
    }
}

void decode_AI() {
    Ant_Parameters.flag1 = rd_u8(AI, 0);
    if (Ant_Parameters.flag1 != 0)
        for (int j = 0; j < 3; ++j) Ant_Parameters.v1[j] = rd_f64(AI, 1 + 8 * j);
    Ant_Parameters.flag2 = rd_u8(AI, 25);
    if (Ant_Parameters.flag2 != 0)
        for (int j = 0; j < 3; ++j) Ant_Parameters.v2[j] = rd_f64(AI, 26 + 8 * j);
}

// Systems of the satellite list: the marker letter ("M" for several) and
// the number of satellites per system.
void decode_SX() {
    for (const Sat_system& s : SAT_SYSTEM)
        if (s.listed != nullptr) {
            *s.listed = 0;
            *s.counter = 0;
        }
    SYS_NUM = 0;
    uint32_t n = rd_u32(SX, SX_COUNT_AT);
    if (n < 1) return;
    if (n > OBS_MAX_ITEMS) n = OBS_MAX_ITEMS;
    // The marker is the letter of the last listed enabled system; it is
    // set once, after the list (this runs at every epoch). GLONASS code
    // division is not reported.
    char last = 0;
    for (uint32_t i = 0; i < n; ++i) {
        for (const Sat_system& s : SAT_SYSTEM)
            if (s.listed != nullptr && SX[i] == s.sx_code && *s.enabled) {
                *s.listed = 1;
                last = s.letter;
                ++*s.counter;
            }
    }
    for (const Sat_system& s : SAT_SYSTEM)
        if (s.listed != nullptr) SYS_NUM += *s.listed;
    if (last != 0) SYS_MARKER.assign(1, last);
    if (SYS_NUM > 1) SYS_MARKER = "M";
}

void decode_TO() { RcvTimeOffset = rd_f64(TO, 0); }

void decode_PV() {
    APPR_POS_X = rd_f64(PV, 0);
    APPR_POS_Y = rd_f64(PV, 8);
    APPR_POS_Z = rd_f64(PV, 16);
}

// GLONASS slots: the k-th GLONASS entry of "SX" (signed channel n) pairs
// with byte k of "NN" (orbital slot s).
void decode_NN() {
    uint32_t count = rd_u32(SX, SX_COUNT_AT);
    if (count > OBS_MAX_ITEMS) count = OBS_MAX_ITEMS;
    int k = 0;
    int stored = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (SX[i] != SX_GLO) continue;
        // The record holds 24 slot bytes and the table 32 records: further
        // GLONASS entries have no slot.
        if (k >= NN_SLOTS || k >= GLO_SV_MAX) break;
        const int32_t n = rd_i8(SX, SX_NUM_AT + static_cast<int>(i));
        const uint8_t s = NN[k];

        // Slot table: a known slot keeps its first channel; a new slot
        // takes the first free pair (0 and 255 are never stored: 0 matches
        // a free pair).
        for (int j = 0; j < GLO_PAIRS; ++j) {
            if (GLO_SLOT_ARR[GLO_SLOT_AT + j] == s) break;
            if (GLO_SLOT_ARR[GLO_SLOT_AT + j] == 0 && s < 255) {
                GLO_SLOT_ARR[GLO_SLOT_AT + j] = s;
                GLO_SLOT_ARR[j] = n;
                ++stored;
                break;
            }
        }

        SV_data& R = GLO_SVs[k];
        mark_written(SV_written[SYS_GLO], k);
        if (R.SV_num == 0) {
            R.SV_num = static_cast<uint32_t>(n);
            R.glo_slot = s;
        } else if (R.SV_num == static_cast<uint32_t>(n)) {
            R.glo_slot = s;
        }
        ++k;
    }
    if (stored > 0) GLO_SLOT_ARR[GLO_PAIR_COUNT] += stored;
}

// Feeds a log built in memory through the converter's reader, so that tests
// set the raw records exactly as a real log would.
#pragma once

#include <cstdio>
#include <string>

#include "decode/Auxiliary_decoder_for_OBS.h"
#include "decode/Decode_OBS.h"
#include "decode/VLX_reader.h"
#include "decode/aux_file_process.h"
#include "stores/Sat_type.h"
#include "stores/VLX_objects.h"
#include "vlxlog/vlx_builder.h"

namespace vlxlog {

// Reads every message of `log`; each identifier is handed to `dispatch`
// when one is given (a dispatcher of either pass, or a test's own).
template <typename F>
inline void feed(const std::string& log, F dispatch) {
    std::string bytes = log;
    FILE* f = fmemopen(bytes.data(), bytes.size(), "rb");
    if (f == nullptr) return;
    while (!std::feof(f)) {
        std::string id = VLXFileReader(f);
        dispatch(id);
    }
    std::fclose(f);
}

inline void feed(const std::string& log) {
    feed(log, [](std::string&) {});
}

// Runs a whole first pass over `log`.
template <typename Pass>
inline void run_pass(const std::string& log, Pass pass) {
    std::string bytes = log;
    FILE* f = fmemopen(bytes.data(), bytes.size(), "rb");
    if (f == nullptr) return;
    pass(f);
    std::fclose(f);
}

// Reads every message of `log` through the first pass, which hands it to
// its decoders.
inline void feed_first_pass(const std::string& log) { run_pass(log, process_aux_file); }

// One second-pass epoch: the messages land in their records, then the
// epoch is decoded.
inline void epoch(const std::string& log) {
    Aux_stage = 0;
    feed(log);
    decode_OBS();
}

// An "SX" message of the given entries.
inline std::string sx(std::initializer_list<SxEntry> v) { return frame("SX", sx_payload(v)); }

// The satellite table of an "SX" system code.
inline SV_data* table_of(uint8_t code) {
    switch (code) {
        case SX_GPS: return GPS_SVs;
        case SX_GLO: return GLO_SVs;
        case SX_SBAS: return SBAS_SVs;
        case SX_GAL: return GAL_SVs;
        case SX_QZSS: return QZSS_SVs;
        case SX_BDS: return BDS_SVs;
        case SX_NAVIC: return NavIC_SVs;
        case SX_GLCDMA: return GLCDMA_SVs;
    }
    return nullptr;
}

}  // namespace vlxlog

// Framing of the simulator's messages, with a count per identifier for the
// manifest.
#pragma once

#include <cstdint>
#include <string>

#include "vlxlog/vlx_builder.h"

namespace vlxsim {

// Messages written, by identifier characters.
extern uint32_t g_msg_count[128][128];

inline void emit(std::string& out, const char* id, const std::string& payload) {
    out += vlxlog::frame(id, payload);
    ++g_msg_count[id[0] & 0x7F][id[1] & 0x7F];
}

}  // namespace vlxsim

// Navigation side of the simulated log: the receiver-information messages at
// the start, the broadcast ephemerides, ionosphere and time-system messages at
// their repetition rates, and the tally of the distinct records the log
// carries for each navigation store.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vlxsim {

// "JP", "PM", "==", "AI", "PV", "TO": once, before the first epoch.
void nav_receiver_info(std::string& out);

// Navigation messages due at GPS time t_ms for the satellites in view
// (indices into g_sats) and the enabled systems (by system index).
void nav_epoch(std::string& out, int64_t t_ms, const int* in_view, int n_in_view, const bool* sys_on);

// "store NAME COUNT" lines: the distinct records the log carries for each
// store (a record sent again counts once).
void nav_write_tally(FILE* f);

}  // namespace vlxsim

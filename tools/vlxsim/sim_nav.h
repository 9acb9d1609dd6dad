// Navigation side of the simulated log: the receiver-information messages at
// the start, the broadcast ephemerides, ionosphere and time-system messages at
// their repetition rates, and the tally of distinct records that the
// converter's duplicate rules will keep in each store.
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

// "store NAME COUNT" lines: records each store keeps after its duplicate rule.
void nav_write_tally(FILE* f);

}  // namespace vlxsim

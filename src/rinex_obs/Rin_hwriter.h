// Observation header writers (the lines that the navigation headers share
// are in rinex_common/Rinex_header.h).
#pragma once

#include <fstream>

// The whole observation header, each line group once (one-shot flags);
// END_flag is set when it is complete. `interval` is the INTERVAL value,
// s; an interval of 0 leaves the line out.
void Add_OBS_File_heading(std::ofstream& obs, float& interval);
int Add_OBSheading(std::ofstream& obs);
int Add_avail_OBS(std::ofstream& obs);
int Add_first_obs(std::ofstream& obs);
int Add_last_obs(std::ofstream& obs);
// "# OF SATELLITES": the satellites for which the file stores
// observations, from the first pass's survey; also left in nSAt_max.
int Add_of_sat(std::ofstream& obs);
// GLONASS SLOT / FRQ # (sorts GLO_SLOT_ARR by slot) and GLONASS COD/PHS/BIS.
int Add_glo_slot(std::ofstream& obs);
int Add_glo_cod(std::ofstream& obs);
// SYS / PHASE SHIFT lines of every system: per printed phase code, one line
// per correction that its phases in the file carry, with the satellites
// whose phases carry it (from the first pass's survey).
int Add_sys_phase(std::ofstream& obs);

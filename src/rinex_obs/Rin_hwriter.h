// Observation header writers, the run date, and the LEAP SECONDS line that
// the navigation headers share.
#pragma once

#include <fstream>
#include <ostream>

// The UTC run date into year, month, day, hour, minutes, sec.
void get_cur_time();
// The whole observation header, each line group once (one-shot flags);
// END_flag is set when it is complete. `interval` is the INTERVAL value.
void Add_OBS_File_heading(std::ofstream& obs, float& interval);
int Add_OBSheading(std::ofstream& obs);
int Add_avail_OBS(std::ofstream& obs);
int Add_first_obs(std::ofstream& obs);
int Add_last_obs(std::ofstream& obs);
int Add_leap_sec(std::ofstream& obs);
// The "PGM / RUN BY / DATE" line, the same in every header of a run.
void Add_pgm_run_by_date(std::ostream& os);
int Add_of_sat(std::ofstream& obs);
// GLONASS SLOT / FRQ # (sorts GLO_SLOT_ARR by slot) and GLONASS COD/PHS/BIS.
int Add_glo_slot(std::ofstream& obs);
int Add_glo_cod(std::ofstream& obs);
// SYS / PHASE SHIFT lines of every system (recounts SAT_NUM_SYS rows 0..6);
// the BeiDou lines of signal group j (k = 5j + 1) in two satellite sets.
int Add_sys_phase(std::ofstream& obs);
void make_BDS_header_phase(int& k, int& j, std::ofstream& obs);

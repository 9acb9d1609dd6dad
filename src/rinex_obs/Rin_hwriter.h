// Observation header writers, the run date, and the LEAP SECONDS line that
// the navigation headers share.
#pragma once

#include <fstream>
#include <ostream>

void get_cur_time();
void Add_OBS_File_heading(std::ofstream& obs, float& interval);
int Add_OBSheading(std::ofstream& obs);
int Add_avail_OBS(std::ofstream& obs);
int Add_first_obs(std::ofstream& obs);
int Add_last_obs(std::ofstream& obs);
int Add_leap_sec(std::ofstream& obs);
// The "PGM / RUN BY / DATE" line, the same in every header of a run.
void Add_pgm_run_by_date(std::ostream& os);
int Add_of_sat(std::ofstream& obs);
int Add_glo_slot(std::ofstream& obs);
int Add_glo_cod(std::ofstream& obs);
int Add_sys_phase(std::ofstream& obs);
void make_BDS_header_phase(int& k, int& j, std::ofstream& obs);

// Navigation file headers.
#include "rinex_nav/Rin_hwriter.h"

// ===================================================================
// Header lines
// ===================================================================

// Written in a later step of the work.
std::ostream& operator<<(std::ostream& os, const formattedOUT2&) { return os; }
NavHeaderInfo GetNavHeaderInfo(NavSys) { return NavHeaderInfo{}; }
int Add_GPS_Nav_File_heading(std::ofstream&) { return 1; }
int Add_GLO_Nav_File_heading(std::ofstream&) { return 1; }
int Add_GAL_Nav_File_heading(std::ofstream&) { return 1; }
int Add_BDS_Nav_File_heading(std::ofstream&) { return 1; }
int Add_NavIC_Nav_File_heading(std::ofstream&) { return 1; }
int Add_Nav_File_heading(std::ofstream&, NavSys) { return 1; }
int Add_Mixed_Nav_File_heading(std::ofstream&) { return 1; }
int Add_end_of_header(std::ofstream&) { return 1; }

// ===================================================================
// RINEX 3.05 ionosphere and time-system lines
// ===================================================================

// Written in a later step of the work.
int Add_GPS_Nav_File_iono(std::ofstream&) { return 1; }
int Add_NavIC_Nav_File_iono(std::ofstream&) { return 1; }
int Add_BDS_Nav_File_iono(std::ofstream&) { return 1; }
int Add_GAL_Nav_File_iono(std::ofstream&) { return 1; }
int Add_GPS_Nav_File_Time_corr(std::ofstream&) { return 1; }
int Add_NavIC_Nav_File_Time_corr(std::ofstream&) { return 1; }
int Add_BDS_Nav_File_Time_corr(std::ofstream&) { return 1; }
int Add_GAL_Nav_File_Time_corr(std::ofstream&) { return 1; }
int Add_GLO_Nav_File_Time_corr(std::ofstream&) { return 1; }
bool isValidBdsIon(const Iono_Par&) { return false; }

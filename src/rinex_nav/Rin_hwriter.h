// Navigation file headers: RINEX 3.05 per constellation with their
// ionosphere and time-system lines, RINEX 4 mixed or per constellation.
#pragma once

#include <fstream>
#include <ostream>
#include <string>

#include "stores/VLX_objects.h"

// A value printed in the stream's current format, with a "D" exponent
// instead of "e" when Rinex_Ver is 4.0 or more. (The header writers format
// through rinex_common/Rinex_format.h with the same exponent rule; this is
// for callers that print into a formatted stream.)
struct formattedOUT2 {
    double value;
};
std::ostream& operator<<(std::ostream& os, const formattedOUT2& v);

// System letter and name for a RINEX 4 navigation header.
struct NavHeaderInfo {
    std::string letter;
    std::string name;
};
NavHeaderInfo GetNavHeaderInfo(NavSys sys);

int Add_GPS_Nav_File_heading(std::ofstream& os);
int Add_GLO_Nav_File_heading(std::ofstream& os);
int Add_GAL_Nav_File_heading(std::ofstream& os);
int Add_BDS_Nav_File_heading(std::ofstream& os);
int Add_NavIC_Nav_File_heading(std::ofstream& os);
int Add_Nav_File_heading(std::ofstream& os, NavSys sys);
int Add_Mixed_Nav_File_heading(std::ofstream& os);
int Add_end_of_header(std::ofstream& os);

// RINEX 3.05 IONOSPHERIC CORR and TIME SYSTEM CORR lines.
int Add_GPS_Nav_File_iono(std::ofstream& os);
int Add_NavIC_Nav_File_iono(std::ofstream& os);
int Add_BDS_Nav_File_iono(std::ofstream& os);
int Add_GAL_Nav_File_iono(std::ofstream& os);
int Add_GPS_Nav_File_Time_corr(std::ofstream& os);
int Add_NavIC_Nav_File_Time_corr(std::ofstream& os);
int Add_BDS_Nav_File_Time_corr(std::ofstream& os);
int Add_GAL_Nav_File_Time_corr(std::ofstream& os);
int Add_GLO_Nav_File_Time_corr(std::ofstream& os);
bool isValidBdsIon(const Iono_Par& rec);

// The GLONASS time-system offsets of the time message, shared by the
// RINEX 3.05 lines and the RINEX 4 records: GLUT a0 = -tau_c (written as
// 0 - tau_c, so that no message gives 0, not -0) and GLGP a0 = tau_GPS.
double GLO_GLUT_a0();
double GLO_GLGP_a0();

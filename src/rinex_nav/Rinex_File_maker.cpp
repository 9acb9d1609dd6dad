// Navigation file makers.
#include "rinex_nav/Rinex_File_maker.h"

// The navigation files come in a later step of the work.
void GPS_NavigationFileMaker(std::ofstream&) {}
int NavIC_NavigationFileMaker(std::ofstream&) { return 1; }
int GLO_NavigationFileMaker(std::ofstream&) { return 1; }
int GAL_NavigationFileMaker(std::ofstream&) { return 1; }
int BDS_NavigationFileMaker(std::ofstream&) { return 1; }
bool NavigationFileMaker(const std::string&, bool) { return true; }

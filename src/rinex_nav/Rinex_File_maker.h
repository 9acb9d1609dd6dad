// Navigation file makers: RINEX 3.05 one file per constellation, RINEX 4
// one mixed file or one per constellation.
#pragma once

#include <fstream>
#include <string>

void GPS_NavigationFileMaker(std::ofstream& os);
int NavIC_NavigationFileMaker(std::ofstream& os);
int GLO_NavigationFileMaker(std::ofstream& os);
int GAL_NavigationFileMaker(std::ofstream& os);
int BDS_NavigationFileMaker(std::ofstream& os);
// Opens and writes the RINEX 4 navigation file(s) named from the stem.
// Returns false when a file could not be created (its name is printed).
bool NavigationFileMaker(const std::string& stem, bool mixed);

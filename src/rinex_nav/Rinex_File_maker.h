// Navigation file makers: RINEX 3.05 one file per constellation, RINEX 4
// one mixed file or one per constellation.
#pragma once

#include <fstream>
#include <string>

// Every navigation file of the run, for the version in Rinex_Ver: each
// file named, created, its constellation's store ordered, and written.
// RINEX 3.05: one file per enabled constellation among GPS, NavIC,
// GLONASS, Galileo and BeiDou, named the stem and the constellation's
// letter ("rover.26" gives rover.26N, rover.26I, rover.26G, rover.26L,
// rover.26C); `mixed` plays no part. RINEX 4: the stores of the enabled
// constellations ordered, then NavigationFileMaker on the stem
// ("rover.26p" or a long-name stem).
// A file that cannot be created or written is reported by name and makes
// the result false; the other files are still written.
bool write_navigation_files(const std::string& stem, bool mixed);

// One RINEX 3.05 file into a stream the caller opened: its header the
// first time, then every ephemeris record of the constellation.
void GPS_NavigationFileMaker(std::ofstream& os);
int NavIC_NavigationFileMaker(std::ofstream& os);
int GLO_NavigationFileMaker(std::ofstream& os);
int GAL_NavigationFileMaker(std::ofstream& os);
int BDS_NavigationFileMaker(std::ofstream& os);
// Opens and writes the RINEX 4 navigation file(s) named from the stem.
// Returns false when a file could not be created (its name is printed).
bool NavigationFileMaker(const std::string& stem, bool mixed);

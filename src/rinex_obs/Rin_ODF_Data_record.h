// Observation epoch records.
#pragma once

#include <fstream>
#include <string>

#include "stores/Sat_type.h"

// One epoch: the epoch line, then one line per satellite, constellation by
// constellation. Sets nSAt_current to the number of satellite lines.
void Add_data_record(std::ofstream& obs, int& epochFlag);

// Selection of the satellites of one constellation block (used by the
// epoch writer, declared here for its tests). A block is given by its
// letter ("G", "R", "E", "J", "C", "I", "S"), the records taken, the signal
// slots and whether slots above 4 are admitted.

// Fills the slots of `target` that hold nothing from `source`.
void mergeSatelliteData(SV_data& target, const SV_data& source);
// Record `index` with the slots of its satellite's later records
// (index + 1 .. count - 1) merged in.
SV_data getMergedSatellite(const SV_data* table, int index, int count, char letter);
// Whether a record has data in a slot that its block prints.
bool hasOutputObservation(const SV_data& record, char letter, int slots, bool extendedSlots,
                          const std::string* codes);
bool hasBdsOutputObservation(const SV_data& record);
// Number of satellites of a block that get a line.
int countSatelliteBlock(const SV_data* table, char letter, int records, int slots, bool extendedSlots,
                        const std::string* codes);
int countBdsSatelliteBlock(const SV_data* table, int records);

// The survey of what the file stores (first pass, each epoch that the file
// keeps, decoded as the observation pass decodes it): for every satellite
// that would get a line, its columns that hold data and the corrections
// of their phases (SAT_COLUMNS_STORED, PHASE_SETS). Every column of every
// system that is on is noted; the header keeps those that the file prints.
void survey_data_record();
// Bit c set when the file prints column c of a system's satellite lines
// (system-index order); 0 when it prints no lines of that system.
uint32_t printed_columns(int sys);
// The phase code of a printed column; nullptr when the column is not
// printed or has no phase code.
const std::string* printed_phase_code(int sys, int column);

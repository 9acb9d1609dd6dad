// Ordering of the satellite tables and satellite lists for output, and the
// fold of the GLONASS code-division signals into the GLONASS tables.
#pragma once

#include "stores/Sat_type.h"

// Orders the records of every satellite table that the epoch record reads
// (`records` of the systems table) by satellite key: the satellite number,
// for GLONASS the slot. The epoch record counts the satellites
// (countSatelliteBlock of Rin_ODF_Data_record).
void sort_SV_arr();
void sortSatelliteBlock(SV_data* table, int count, bool bySlot);
// Orders the used entries of band-list rows 0..5 of the systems whose
// lists are ordered.
void sort_SV_num();
// The GLONASS code-division codes, satellite lists and observations
// folded into the GLONASS tables.
void add_GLCDMAtoGLO();
// Its observations alone: each code-division record's groups that hold
// data, copied into the GLONASS record of the same slot.
void fold_GLCDMA_observations();

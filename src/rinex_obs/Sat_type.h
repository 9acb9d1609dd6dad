// Ordering of the satellite tables and satellite lists for output, and the
// fold of the GLONASS code-division signals into the GLONASS tables.
#pragma once

#include "stores/Sat_type.h"

void sort_SV_arr();
void sortSatelliteBlock(SV_data* table, int count, bool bySlot);
int countSatelliteBlock(const SV_data* table, int count, char system);
void sort_SV_num();
// The GLONASS code-division codes, satellite lists and observations
// folded into the GLONASS tables.
void add_GLCDMAtoGLO();
// Its observations alone: each code-division record's groups that hold
// data, copied into the GLONASS record of the same slot.
void fold_GLCDMA_observations();

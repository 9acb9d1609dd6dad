// Ordering of the satellite tables and satellite lists for output.
#pragma once

#include "stores/Sat_type.h"

void sort_SV_arr();
void sortSatelliteBlock(SV_data* table, int count, bool bySlot);
int countSatelliteBlock(const SV_data* table, int count, char system);
void sort_SV_num();
void add_GLCDMAtoGLO();

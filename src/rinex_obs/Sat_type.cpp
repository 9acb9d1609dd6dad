// Ordering of the satellite tables and satellite lists for output.
#include "rinex_obs/Sat_type.h"

// The ordering comes in a later step of the work.
void sort_SV_arr() {}
void sortSatelliteBlock(SV_data*, int, bool) {}
int countSatelliteBlock(const SV_data*, int, char) { return 0; }
void sort_SV_num() {}
void add_GLCDMAtoGLO() {}

// Ordering of the ephemeris stores before they are written.
#include "rinex_nav/Sat_type.h"

// The ordering comes in a later step of the work.
void sort_GPS_ephemeris() {}
void sort_QZSS_ephemeris() {}
void sort_GAL_ephemeris() {}
void sort_BDS_ephemeris() {}
void sort_NavIC_ephemeris() {}
void sort_GLO_ephemeris() {}
void sort_SBAS_ephemeris() {}

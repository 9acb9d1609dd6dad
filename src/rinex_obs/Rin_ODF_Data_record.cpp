// Observation epoch records and the epoch time advance.
#include "rinex_obs/Rin_ODF_Data_record.h"

// The epoch records come in a later step of the work.
void Add_data_record(std::ofstream&, int&) {}
void Update_time(float&) {}

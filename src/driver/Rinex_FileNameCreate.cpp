// RINEX long file names.
#include "driver/Rinex_FileNameCreate.h"

// Long names come in a later step of the work.
void get_RINEX_long_file_name_time(const float*, int* out) { out[0] = out[1] = out[2] = out[3] = 0; }
std::string make_RINEX_data_freq(float) { return "00U"; }
std::string make_RINEX_file_duration(const float*, const float*, float) { return "00U"; }
std::string make_RINEX_long_file_name(std::string, std::string, std::string, std::string, std::string, int,
                                      int, int, int, std::string, std::string, std::string) {
    return "";
}

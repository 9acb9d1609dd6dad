// Observation epoch records and the epoch time advance.
#pragma once

#include <fstream>

void Add_data_record(std::ofstream& obs, int& epochFlag);
void Update_time(float& interval);

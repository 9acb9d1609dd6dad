// The observation pass: the second pass over the log.
#pragma once

#include <cstdio>
#include <fstream>

int ObservationFileMaker(std::ofstream& obs, FILE* log);

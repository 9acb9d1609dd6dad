// The first pass over the whole log.
#pragma once

#include <cstdio>

int process_aux_file(FILE* log);
void finalize_aux_observation_epoch();

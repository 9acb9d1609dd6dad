// First-pass dispatch and the first-pass epoch decoders.
#pragma once

#include <string>

void decode_for_avail_OBS(std::string& id);
void decode_OBS_aux();
void decode_RD_aux();

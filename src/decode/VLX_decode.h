// Second-pass dispatch: receiver and antenna messages, the satellite list
// and the GLONASS slots.
#pragma once

#include <string>

// Runs the decoder of the identifier; false when it has none (the message
// changed nothing but its raw record).
bool decode_vlx(std::string& id);

void decode_JP();
void decode_PM();
void decode_FV();
void decode_AI();
void decode_SX();
void decode_TO();
void decode_PV();
void decode_NN();

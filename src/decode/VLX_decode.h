// Second-pass dispatch: receiver, antenna and epoch messages.
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

// Observation decoding at each epoch close: the shared item walk and the
// signal-flag, code-range, Doppler, phase and strength decoders.
#pragma once

void decode_OBS();

void decode_FC();
void decode_F1();
void decode_F2();
void decode_F3();
void decode_F5();
void decode_Fl();

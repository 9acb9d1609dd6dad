// Observation decoding at each epoch close.
#include "decode/Decode_OBS.h"

// The observation decoders come in a later step of the work.
void decode_OBS() {}
void decode_FC() {}
void decode_F1() {}
void decode_F2() {}
void decode_F3() {}
void decode_F5() {}
void decode_Fl() {}

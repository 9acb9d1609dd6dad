// Second-pass dispatch and the receiver-information decoders.
#include "decode/VLX_decode.h"

// Receiver information is decoded in a later step of the work.
void decode_vlx(std::string&) {}
void decode_JP() {}
void decode_PM() {}
void decode_FV() {}
void decode_AI() {}
void decode_SX() {}
void decode_TO() {}
void decode_PV() {}
void decode_NN() {}

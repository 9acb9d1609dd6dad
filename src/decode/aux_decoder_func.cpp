// First-pass decoders of navigation data.
#include "decode/aux_decoder_func.h"

// ===================================================================
// GPS and QZSS ephemerides
// ===================================================================

// Decoded in a later step of the work.
void decode_GE() {}
void decode_QE() {}

// ===================================================================
// Galileo, BeiDou and NavIC ephemerides
// ===================================================================

// Decoded in a later step of the work.
void decode_EN() {}
void decode_CN() {}
void decode_IE() {}

// ===================================================================
// GLONASS and SBAS ephemerides
// ===================================================================

// Decoded in a later step of the work.
void decode_NE() {}
void decode_WE() {}

// ===================================================================
// Ionosphere and time-system parameters
// ===================================================================

// Decoded in a later step of the work.
void decode_IO() {}
void decode_QI() {}
void decode_II() {}
void decode_CI() {}
void decode_UO() {}
void decode_QU() {}
void decode_CU() {}
void decode_IU() {}
void decode_EU() {}
void decode_WU() {}
void decode_NU() {}

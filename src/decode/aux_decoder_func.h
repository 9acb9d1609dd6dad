// First-pass decoders of navigation data: ephemerides, ionosphere and
// time-system parameters, each appending to its store.
#pragma once

// The repeat tests of the ephemeris stores keep an index of record
// positions; ordering a store moves its records, so the sorts drop the
// index (it is rebuilt at the next test).
void forget_ephemeris_keys();

// GPS and QZSS ephemerides.
void decode_GE();
void decode_QE();

// Galileo, BeiDou and NavIC ephemerides.
void decode_EN();
void decode_CN();
void decode_IE();

// GLONASS and SBAS ephemerides.
void decode_NE();
void decode_WE();

// Ionosphere and time-system parameters.
void decode_IO();
void decode_QI();
void decode_II();
void decode_CI();
void decode_UO();
void decode_QU();
void decode_CU();
void decode_IU();
void decode_EU();
void decode_WU();
void decode_NU();

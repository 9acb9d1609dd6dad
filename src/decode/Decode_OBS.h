// Observation decoding at each epoch close: the shared item walk and the
// signal-flag, code-range, Doppler, phase and strength decoders.
#pragma once

#include <cstdint>

#include "stores/Sat_type.h"  // SX_SysId

// Layout of the "SX" record: system code of entry i at i, satellite number
// at SX_NUM_AT + i, entry count at SX_COUNT_AT.
constexpr int SX_NUM_AT = 180;
constexpr int SX_COUNT_AT = 364;
// Items a raw observation record holds (and entries of "SX").
constexpr uint32_t OBS_MAX_ITEMS = 180;

// Runs every observation decoder in the fixed order, completes the GLONASS
// code table and counts the codes of each system into SYS_OBS_NUM.
void decode_OBS();

// Every decoder after the signal flags, in the fixed order: the values of
// the epoch (also run by the first pass for its survey of the records).
void decode_observation_values();

// Signal flags (also the signal inventory while Aux_stage is set).
// The six signal-flag decoders in their fixed order (both passes).
void decode_signal_flags();
void decode_FC();
void decode_F1();
void decode_F2();
void decode_F3();
void decode_F5();
void decode_Fl();

// Code ranges.
void decode_rc();
void decode_rx();
void decode_1r();
void decode_2r();
void decode_3r();
void decode_5r();
void decode_lr();

// Dopplers.
void decode_DX();
void decode_DC();
void decode_0d();
void decode_1d();
void decode_2d();
void decode_3d();
void decode_5d();
void decode_ld();

// Carrier phases.
void decode_cp();
void decode_1p();
void decode_2p();
void decode_3p();
void decode_5p();
void decode_lp();

// Signal strengths.
void decode_CE();
void decode_1E();
void decode_2E();
void decode_3E();
void decode_5E();
void decode_lE();

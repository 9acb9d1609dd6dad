// Raw message records: one fixed byte array per message identifier, holding
// the body of the last message of that identifier as the reader stored it.
// The decoders read their fields in place (little-endian). A record keeps
// its contents for the whole run; nothing clears it between epochs.
#pragma once

#include <cstdint>

// Item lists of 16-bit values (capacity 368: 180 items, checksum and
// separator at 360/361, item count at 364 where the record has one).
extern unsigned char zero_d[368], one_d[368], two_d[368], three_d[368], five_d[368], l_d[368];
extern unsigned char one_r[368], two_r[368], three_r[368], five_r[368], l_r[368];
extern unsigned char c1[368], c2[368], c3[368];
extern unsigned char c5[368], cc[368], cl[368], cr[368];  // no count
extern unsigned char TC[362];                             // no count

// Item lists of 32-bit values (capacity 728: 180 items, checksum and
// separator at 720/721, count at 724).
extern unsigned char rx[728], rc[728], cp[728], one_p[728], two_p[728], three_p[728], five_p[728],
    l_p[728], DC[728], DX[728];

// Item lists of 8-bit values (capacity 188: 180 items, checksum and
// separator at 180/181, count at 184); "EL" has no count.
extern unsigned char CE[188], one_E[188], two_E[188], three_E[188], five_E[188], l_E[188], SI[188];
extern unsigned char EL[182];
extern unsigned char NN[32];  // 24 slot bytes, checksum/separator at 24/25, count at 28

// Satellite list: system code of entry i at i, satellite number at 180+i,
// checksum/separator at 360/361, entry count at 364.
extern unsigned char SX[368];

// Signal-flag lists: item i in the low two bytes of the 4-byte slot at 4i
// (360 slots), checksum/separator at 1440/1441.
extern unsigned char FC[1444], F1[1444], F2[1444], F3[1444], F5[1444], Fl[1444];

// Whole bodies (body with checksum, then the separator).
extern unsigned char RT[6];  // "~~": receiver time of day, ms, in bytes 0-3
extern unsigned char AI[108], CA[300], CU[25], CI[40], DP[19], DO[18], EN[150], EA[300], EU[41];
extern unsigned char IA[300], UO[25], IO[40], II[40], IE[425], IU[25], NA[300], NU[28], PV[47];
extern unsigned char QU[25], QI[40], RD[7], ST[7], TO[18], WA[300];

// Other layouts.
extern unsigned char JP[87], TD[300], MF[16], PM[4108], EV[107], SS[183], SE[7];

// Fixed-layout ephemeris and time messages; the stored length L sits inside
// the record (GE/QE at 180, CN at 164, NE at 104, WE at 76, WU at 36).
extern unsigned char GE[184], QE[184], CN[168], NE[108], WE[80], WU[40];

// Scratch buffer for bodies that are skipped or overflow their record.
constexpr int SCRATCH_SIZE = 10000;
extern unsigned char buf[SCRATCH_SIZE];

// Receiver time of day (ms) of the last "~~" message read in either pass.
extern uint32_t time_tag;
// Number of "PM" messages read; reset at the start of the second pass.
extern uint32_t count_PM;

// Every record, "~~" time and "PM" count as at start-up (part of
// reset_stores).
void reset_message_records();

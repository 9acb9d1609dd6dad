// Storage of the raw message records, with their start-up contents: the
// observation-side records hold the character '0' in their first byte (the
// "SX" record also at position 180), everything else is zero.
#include "stores/VLX_msgs.h"

unsigned char zero_d[368] = {'0'}, one_d[368] = {'0'}, two_d[368] = {'0'}, three_d[368] = {'0'},
              five_d[368] = {'0'}, l_d[368] = {'0'};
unsigned char one_r[368] = {'0'}, two_r[368] = {'0'}, three_r[368] = {'0'}, five_r[368] = {'0'},
              l_r[368] = {'0'};
unsigned char c1[368] = {'0'}, c2[368] = {'0'}, c3[368] = {'0'};
unsigned char c5[368] = {'0'}, cc[368] = {'0'}, cl[368] = {'0'}, cr[368] = {'0'};
unsigned char TC[362] = {'0'};

unsigned char rx[728] = {'0'}, rc[728] = {'0'}, cp[728] = {'0'}, one_p[728] = {'0'},
              two_p[728] = {'0'}, three_p[728] = {'0'}, five_p[728] = {'0'}, l_p[728] = {'0'},
              DC[728] = {'0'}, DX[728] = {'0'};

unsigned char CE[188] = {'0'}, one_E[188] = {'0'}, two_E[188] = {'0'}, three_E[188] = {'0'},
              five_E[188] = {'0'}, l_E[188] = {'0'}, SI[188] = {'0'};
unsigned char EL[182] = {'0'};
unsigned char NN[32] = {'0'};

// The first system code and the first satellite number both start as '0'.
unsigned char SX[368] = {'0'};
[[maybe_unused]] static const bool SX_number_init = (SX[180] = '0', true);

unsigned char FC[1444], F1[1444], F2[1444], F3[1444], F5[1444], Fl[1444];

unsigned char RT[6];
unsigned char AI[108], CA[300], CU[25], CI[40], DP[19], DO[18], EN[150], EA[300], EU[41];
unsigned char IA[300], UO[25], IO[40], II[40], IE[425], IU[25], NA[300], NU[28], PV[47];
unsigned char QU[25], QI[40], RD[7], ST[7], TO[18], WA[300];

unsigned char JP[87], TD[300], MF[16], PM[4108], EV[107], SS[183], SE[7];

unsigned char GE[184], QE[184], CN[168], NE[108], WE[80], WU[40];

unsigned char buf[SCRATCH_SIZE];

uint32_t time_tag;
uint32_t count_PM;

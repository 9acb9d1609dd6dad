// Storage of the raw message records, and their start-up contents: the
// observation-side records hold the character '0' in their first byte (the
// "SX" record also at position 180), everything else is zero.
#include "stores/VLX_msgs.h"

#include <cstddef>
#include <cstring>

unsigned char zero_d[368], one_d[368], two_d[368], three_d[368], five_d[368], l_d[368];
unsigned char one_r[368], two_r[368], three_r[368], five_r[368], l_r[368];
unsigned char c1[368], c2[368], c3[368];
unsigned char c5[368], cc[368], cl[368], cr[368];
unsigned char TC[362];

unsigned char rx[728], rc[728], cp[728], one_p[728], two_p[728], three_p[728], five_p[728], l_p[728], DC[728],
    DX[728];

unsigned char CE[188], one_E[188], two_E[188], three_E[188], five_E[188], l_E[188], SI[188];
unsigned char EL[182];
unsigned char NN[32];

unsigned char SX[368];

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

namespace {

struct Record {
    unsigned char* rec;
    size_t size;
};

template <size_t N>
constexpr Record rec(unsigned char (&r)[N]) {
    return {r, N};
}

// The observation-side records: they start with the character '0'.
const Record OBSERVATION_SIDE[] = {
    rec(zero_d), rec(one_d), rec(two_d), rec(three_d), rec(five_d), rec(l_d),
    rec(one_r), rec(two_r), rec(three_r), rec(five_r), rec(l_r),
    rec(c1), rec(c2), rec(c3), rec(c5), rec(cc), rec(cl), rec(cr), rec(TC), rec(rx), rec(rc),
    rec(cp), rec(one_p), rec(two_p), rec(three_p), rec(five_p), rec(l_p), rec(DC), rec(DX),
    rec(CE), rec(one_E), rec(two_E), rec(three_E), rec(five_E), rec(l_E), rec(SI), rec(EL),
    rec(NN), rec(SX),
};
// The others start all zero.
const Record OTHERS[] = {
    rec(FC), rec(F1), rec(F2), rec(F3), rec(F5), rec(Fl), rec(RT), rec(AI), rec(CA), rec(CU), rec(CI), rec(DP),
    rec(DO), rec(EN), rec(EA), rec(EU), rec(IA), rec(UO), rec(IO), rec(II), rec(IE), rec(IU), rec(NA), rec(NU),
    rec(PV), rec(QU), rec(QI), rec(RD), rec(ST), rec(TO), rec(WA), rec(JP), rec(TD), rec(MF), rec(PM), rec(EV),
    rec(SS), rec(SE), rec(GE), rec(QE), rec(CN), rec(NE), rec(WE), rec(WU), rec(buf),
};

}  // namespace

void reset_message_records() {
    for (const Record& r : OBSERVATION_SIDE) {
        std::memset(r.rec, 0, r.size);
        r.rec[0] = '0';
    }
    for (const Record& r : OTHERS) std::memset(r.rec, 0, r.size);
    SX[180] = '0';  // the first satellite number
    time_tag = 0;
    count_PM = 0;
}

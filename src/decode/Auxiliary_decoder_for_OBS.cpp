// First-pass dispatch: every navigation message goes to its store, the
// dates to the first and last epoch, the flags to the signal inventory.
#include "decode/Auxiliary_decoder_for_OBS.h"

#include "decode/Decode_OBS.h"
#include "decode/Decode_func.h"
#include "decode/VLX_decode.h"
#include "decode/aux_decoder_func.h"

namespace {

struct Row {
    const char* id;
    void (*decode)();
};

// Identifier to decoder; "RD"/"~~" and "TD" are handled before the table.
const Row rows[] = {
    {"NN", decode_NN}, {"IU", decode_IU}, {"GE", decode_GE}, {"IE", decode_IE}, {"NU", decode_NU},
    {"UO", decode_UO}, {"IO", decode_IO}, {"II", decode_II}, {"CI", decode_CI}, {"NE", decode_NE},
    {"EN", decode_EN}, {"EU", decode_EU}, {"CN", decode_CN}, {"CU", decode_CU}, {"QE", decode_QE},
    {"QU", decode_QU}, {"QI", decode_QI}, {"WE", decode_WE}, {"WU", decode_WU},
};

}  // namespace

void decode_for_avail_OBS(std::string& id) {
    if (id == "RD" || id == "~~") {
        decode_RD_aux();
        decode_RD();
        return;
    }
    if (id == "TD") {
        decode_OBS_aux();
        return;
    }
    for (const Row& r : rows)
        if (id == r.id) {
            r.decode();
            return;
        }
}

void decode_OBS_aux() {
    decode_FC();
    decode_F1();
    decode_F2();
    decode_F3();
    decode_F5();
    decode_Fl();
}

// The first and last dates come in a later step of the work.
void decode_RD_aux() {}

// First-pass dispatch: every navigation message goes to its store; and the
// first-pass epoch decoders: the dates to the first and last epoch, the
// flags to the signal inventory.
#include "decode/Auxiliary_decoder_for_OBS.h"

#include "decode/Decode_OBS.h"
#include "decode/Decode_func.h"
#include "decode/VLX_decode.h"
#include "decode/aux_decoder_func.h"
#include "decode/VLX_reader.h"
#include "decode/le_read.h"
#include "stores/VLX_msgs.h"
#include "stores/VLX_objects.h"

namespace {

struct Row {
    const char* id;
    void (*decode)();
};

// Identifier to decoder. The messages that open, date and end an epoch are
// the epoch framer's (VLX_reader): the pass decodes them at its steps.
const Row rows[] = {
    {"NN", decode_NN}, {"IU", decode_IU}, {"GE", decode_GE}, {"IE", decode_IE}, {"NU", decode_NU},
    {"UO", decode_UO}, {"IO", decode_IO}, {"II", decode_II}, {"CI", decode_CI}, {"NE", decode_NE},
    {"EN", decode_EN}, {"EU", decode_EU}, {"CN", decode_CN}, {"CU", decode_CU}, {"QE", decode_QE},
    {"QU", decode_QU}, {"QI", decode_QI}, {"WE", decode_WE}, {"WU", decode_WU},
};

}  // namespace

void decode_for_avail_OBS(std::string& id) {
    for (const Row& r : rows)
        if (is_id(id, r.id)) {
            r.decode();
            return;
        }
}

void decode_OBS_aux() { decode_signal_flags(); }

// First and last receiver dates: the last is rewritten at every "RD" and
// "~~"; the first follows it until a dated "RD" record has been seen.
void decode_RD_aux() {
    receiver_date_of_records(RCV_date_last);
    if (!RCV_date_first_fixed) {
        RCV_date_first = RCV_date_last;
        if (rd_u16(RD, 0) != 0) RCV_date_first_fixed = true;
    }
}

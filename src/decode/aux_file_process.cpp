// The first pass over the whole log.
#include "decode/aux_file_process.h"

#include <string>

#include "decode/Auxiliary_decoder_for_OBS.h"
#include "decode/VLX_reader.h"

// Epochs, the interval and the inventory come in a later step of the work;
// for now the pass reads the log to its end and dispatches every message.
int process_aux_file(FILE* log) {
    while (!std::feof(log)) {
        std::string id = VLXFileReader(log);
        decode_for_avail_OBS(id);
    }
    return 1;
}

void finalize_aux_observation_epoch() {}

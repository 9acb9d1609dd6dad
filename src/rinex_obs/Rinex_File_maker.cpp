// The observation pass: the second pass over the log.
#include "rinex_obs/Rinex_File_maker.h"

#include <string>

#include "decode/VLX_decode.h"
#include "decode/VLX_reader.h"

// Epochs and records come in a later step of the work; for now the pass
// reads the log to its end and dispatches every message.
int ObservationFileMaker(std::ofstream&, FILE* log) {
    while (!std::feof(log)) {
        std::string id = VLXFileReader(log);
        decode_vlx(id);
    }
    return 1;
}

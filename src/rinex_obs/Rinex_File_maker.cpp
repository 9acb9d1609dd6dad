// The observation pass: the second pass over the log. It delimits the
// epochs, has each one decoded into the satellite tables, writes the header
// once and one record per epoch on the requested interval grid.
#include "rinex_obs/Rinex_File_maker.h"

#include <cstdint>
#include <string>

#include "decode/Decode_OBS.h"
#include "decode/VLX_decode.h"
#include "decode/VLX_reader.h"
#include "decode/le_read.h"
#include "rinex_obs/Rin_ODF_Data_record.h"
#include "rinex_obs/Rin_hwriter.h"
#include "rinex_obs/Sat_type.h"
#include "stores/Sat_type.h"
#include "stores/VLX_msgs.h"
#include "stores/VLX_objects.h"

namespace {

constexpr uint32_t MS_PER_DAY = 86400000u;

// Empties the satellite tables for the next epoch. The last seven records
// of the 37-record QZSS, NavIC and SBAS tables are never used by the
// output and are left alone; the code-division table is emptied whole, as
// the fold into GLONASS reads records beyond the first 30.
void clear_tables() {
    clear_written(GPS_SVs, 32, GPS_SVs_written);
    clear_written(GLO_SVs, 32, GLO_SVs_written);
    clear_written(GAL_SVs, 37, GAL_SVs_written);
    clear_written(BDS_SVs, 61, BDS_SVs_written);
    clear_written(QZSS_SVs, 30, QZSS_SVs_written);
    clear_written(NavIC_SVs, 30, NavIC_SVs_written);
    clear_written(SBAS_SVs, 30, SBAS_SVs_written);
    clear_written(GLCDMA_SVs, GLCDMA_SV_MAX, GLCDMA_SVs_written);
}

// Whether an epoch lies on the output grid: its time-of-day distance from
// the reference epoch (one wrap over midnight) is a whole multiple of the
// interval. An interval of 0 keeps every epoch.
bool on_grid(bool reference_set, uint32_t reference, uint32_t epoch, uint32_t interval_ms) {
    if (!reference_set || interval_ms == 0) return true;
    const uint32_t diff = reference <= epoch ? epoch - reference : epoch + MS_PER_DAY - reference;
    return diff % interval_ms == 0;
}

// The requested output interval in whole milliseconds, rounded; a request
// below half a millisecond means no interval filter. A negative (or NaN)
// request filters nothing either, as the header then shows the data
// interval; one beyond the 32-bit range keeps only the grid origin's
// time of day.
uint32_t requested_interval_ms(double seconds) {
    const double ms = 1000.0 * seconds + 0.5;
    if (!(ms >= 1.0)) return 0;
    if (ms >= 4294967295.0) return 0xFFFFFFFFu;
    return static_cast<uint32_t>(ms);
}

// The GLONASS code completion and the fold of the code-division signals
// into the GLONASS tables, run on every decoded epoch before it is sorted.
void fold_glonass() {
    if (!GLO_OBS_Arr[5].empty()) {
        GLO_OBS_Arr[6] = "L1P";
        GLO_OBS_Arr[7] = "D1P";
        GLO_OBS_Arr[8] = "S1P";
    }
    if (Enable_GLCDMA) add_GLCDMAtoGLO();
}

}  // namespace

int ObservationFileMaker(std::ofstream& obs, FILE* log) {
    const uint32_t interval_ms = requested_interval_ms(INTERVAL_Requested);

    count_PM = 0;
    wr_u32(RT, 0, 0);

    uint32_t epoch_time = 0;       // time of day (ms) of the epoch being collected
    bool started = false;          // a "~~" has been seen
    bool epoch_closed = false;     // the current epoch is already decoded
    bool header_due = false;       // the header is written at this message
    bool header_fell_due = false;  // the header has fallen due once
    uint32_t header_epoch = 0;     // time of the epoch that the header precedes
    float header_interval = 0.0f;
    bool reference_set = false;    // the grid origin: the first written epoch
    uint32_t reference = 0;

    // The GLONASS code completion and the code-division fold depend only
    // on the tables, and applying them twice in a row changes nothing
    // (they write fields that they do not read). So they run again only
    // after something may have changed the tables: a decoder, an epoch
    // close, a sort, a clear or the header. Most messages do none of that.
    bool fold_due = true;

    auto finish_epoch = [&]() {
        Update_time(INTERVAL_Aux);
        clear_tables();
        header_due = false;
        reference_set = true;
    };

    while (!std::feof(log) && !std::ferror(log)) {  // a read error ends the pass too
        std::string id = VLXFileReader(log);
        const bool is_epoch_time = is_id(id, "~~");
        const bool is_end = is_id(id, "TD");
        const bool was_closed = epoch_closed;
        // A repeated "TD" ends nothing new: its epoch is decoded already
        // (and sorted, or written and cleared), and decoding it again into
        // sorted records would hand items to the wrong satellites.
        const bool repeated_end = is_end && was_closed;

        // An epoch ends at the next "~~" unless a "TD" has closed it.
        bool closed_here = false;
        if (is_epoch_time && started && !epoch_closed) {
            decode_NN();
            decode_OBS();
            epoch_closed = true;
            closed_here = true;
        }

        // The first epoch waits in the tables for the header from its close
        // to the next "~~"; a receiver-name message must not empty them.
        Epoch_held = started && epoch_closed && !END_flag;
        if ((!repeated_end && decode_vlx(id)) || closed_here) fold_due = true;
        Epoch_held = false;
        if (is_end) epoch_closed = true;

        // The time of the epoch that ends at this message: a "~~" ends the
        // epoch opened by the previous "~~", a "TD" the current one.
        const uint32_t ended_epoch_time = epoch_time;
        if (is_epoch_time) {
            // The header falls due at the second "~~", after the first
            // epoch, whatever its time of day (a log may cross midnight
            // right there).
            if (!header_due && !header_fell_due && started) {
                header_due = true;
                header_fell_due = true;
                header_interval = INTERVAL_Requested > 0.0 ? static_cast<float>(INTERVAL_Requested) : INTERVAL_Aux;
                header_epoch = epoch_time;
            }
            started = true;
            epoch_time = rd_u32(RT, 0);
        }

        if (obs.is_open()) {
            if (fold_due) {
                fold_glonass();
                fold_due = false;
            }
            const bool epoch_ends = (is_end && !repeated_end) || closed_here;
            if (epoch_ends) sort_SV_arr();
            if (epoch_ends || header_due) fold_due = true;  // tables reordered or cleared
            if (header_due) {
                Add_OBS_File_heading(obs, header_interval);
                if (END_flag) {
                    reference = header_epoch;
                    Add_data_record(obs, Epoch_flag);
                }
                finish_epoch();
            } else if (END_flag && epoch_ends) {
                if (!reference_set) reference = ended_epoch_time;
                if (on_grid(reference_set, reference, ended_epoch_time, interval_ms))
                    Add_data_record(obs, Epoch_flag);
                finish_epoch();
            }
        }
        if (is_epoch_time) epoch_closed = false;
    }

    if (started && !epoch_closed && END_flag && obs.is_open()) {
        decode_NN();
        decode_OBS();
        fold_glonass();
        sort_SV_arr();
        if (on_grid(reference_set, reference, epoch_time, interval_ms)) Add_data_record(obs, Epoch_flag);
        finish_epoch();
    }
    return 1;
}

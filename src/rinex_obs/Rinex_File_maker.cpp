// The observation pass: the second pass over the log. It frames the
// epochs, has each one decoded into the satellite tables, writes the header
// once (after the first epoch: at the second "~~", or at the end of a log
// of one epoch) and one record per epoch on the requested interval grid.
#include "rinex_obs/Rinex_File_maker.h"

#include <cstdint>
#include <string>

#include "decode/Decode_OBS.h"
#include "decode/Decode_func.h"
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

// The fold of the code-division signals into the GLONASS tables, run on
// every decoded epoch before it is sorted. (The GLONASS code completion is
// decode_OBS's: every header and record follows a decoded epoch.)
void fold_glonass() {
    if (Enable_GLCDMA) add_GLCDMAtoGLO();
}

// The decoders of an epoch that ends: the GLONASS slots of its satellite
// list, then every observation decoder.
void decode_epoch() {
    decode_NN();
    decode_OBS();
}

}  // namespace

int ObservationFileMaker(std::ofstream& obs, FILE* log) {
    const uint32_t interval_ms = requested_interval_ms(INTERVAL_Requested);

    count_PM = 0;
    wr_u32(RT, 0, 0);

    // The receiver time of the epoch being collected, from the day that the
    // first pass found for the first epoch (the first epochs of a log may
    // come before its first receiver date).
    const Epoch_ms first_day = {Epoch_first_obs.day, 0, Epoch_first_obs.dated};
    Pass_clock clock = {first_day, first_day, false};
    const Epoch_ms& epoch_time = clock.epoch;
    // A "TD" before the first "~~" ends the records read so far as any
    // epoch end does: they are decoded and sorted (no epoch is written
    // before the header).
    Epoch_frame frame = {true, false, false};
    bool header_due = false;       // the header is written at this message
    bool header_fell_due = false;  // the header has fallen due once
    Epoch_ms header_epoch = {};    // time of the epoch that the header precedes
    float header_interval = 0.0f;
    bool reference_set = false;    // the grid origin: the first written epoch
    uint32_t reference = 0;
    Epoch_ms last_written = {};    // RINEX epochs rise: none is written at or before it
    bool any_written = false;
    // An epoch that has ended is written when it lies on the grid and comes
    // after the last one written; a repeated or out-of-order epoch is not.
    auto kept = [&](const Epoch_ms& t) {
        return on_grid(reference_set, reference, t.ms, interval_ms) && (!any_written || epoch_after(t, last_written));
    };
    auto write_epoch = [&](const Epoch_ms& t) {
        Add_data_record(obs, Epoch_flag);
        last_written = t;
        any_written = true;
    };

    // The code-division fold depends only on the tables, and applying it
    // twice in a row changes nothing (it writes fields that it does not
    // read). So it runs again only after something may have changed the
    // tables: a decoder, an epoch close, a sort, a clear or the header.
    // Most messages do none of that.
    bool fold_due = true;

    auto finish_epoch = [&]() {
        clear_satellite_tables(CLEAR_EPOCH);
        header_due = false;
        reference_set = true;
    };
    // The header, then the record of the epoch that it precedes, which is
    // the origin of the grid.
    auto write_header_and_epoch = [&](const Epoch_ms& t) {
        epoch_fields(t, RCV_date);  // also the header's first observation time
        Add_OBS_File_heading(obs, header_interval);
        if (END_flag) {
            reference = t.ms;
            write_epoch(t);
        }
        finish_epoch();
    };

    while (!std::feof(log) && !std::ferror(log)) {  // a read error ends the pass too
        std::string id = VLXFileReader(log);
        const Epoch_step step = frame_epoch(frame, id);
        // An epoch is decoded once, where it ends. A repeated "TD" ends
        // nothing new: its epoch is decoded already (and sorted, or written
        // and cleared), and decoding it again into sorted records would
        // hand items to the wrong satellites.
        if (step.closed) {
            decode_epoch();
            fold_due = true;
        }

        // The first epoch waits in the tables for the header from its close
        // to the next "~~" (or the end of the log); a receiver-name message
        // must not empty them.
        Epoch_held = frame.started && frame.closed && !END_flag;
        if (decode_vlx(id)) fold_due = true;
        Epoch_held = false;
        if (step.dated) {
            decode_RD();
            pass_clock_date(clock);
        }

        // The time of the epoch that ends at this message: a "~~" ends the
        // epoch opened by the previous "~~", a "TD" the current one.
        const Epoch_ms ended_epoch_time = epoch_time;
        if (step.opened) {
            // The header falls due at the second "~~", after the first
            // epoch, whatever its time of day (a log may cross midnight
            // right there).
            if (!header_fell_due && !step.first) {
                header_due = true;
                header_fell_due = true;
                header_interval = file_interval();
                header_epoch = epoch_time;
            }
            pass_clock_tick(clock, rd_u32(RT, 0));
        }

        if (obs.is_open()) {
            if (fold_due) {
                fold_glonass();
                fold_due = false;
            }
            if (step.closed) sort_SV_arr();
            if (step.closed || header_due) fold_due = true;  // tables reordered or cleared
            if (header_due) {
                write_header_and_epoch(header_epoch);
            } else if (END_flag && step.closed) {
                if (!reference_set) reference = ended_epoch_time.ms;
                if (kept(ended_epoch_time)) {
                    epoch_fields(ended_epoch_time, RCV_date);
                    write_epoch(ended_epoch_time);
                }
                finish_epoch();
            }
        }
    }

    // The end of the log ends the epoch still open (the last epoch of a log
    // without a closing "TD"), as a "~~" would.
    const bool ended_at_log_end = frame_log_end(frame);
    if (!obs.is_open() || !frame.started) return 1;  // no epoch: no header either
    if (ended_at_log_end) {
        decode_epoch();
        fold_glonass();
        sort_SV_arr();
    }
    if (!END_flag) {
        // A log of one epoch: no second "~~" brought the header, so it
        // comes here with the epoch's record, ended by "TD" or by the log's
        // end. An epoch ended by "TD" was decoded and sorted there; the
        // fold runs once more on the sorted tables, as at a next "~~".
        if (!ended_at_log_end && fold_due) fold_glonass();
        header_interval = file_interval();
        write_header_and_epoch(epoch_time);
    } else if (ended_at_log_end) {
        if (kept(epoch_time)) {
            epoch_fields(epoch_time, RCV_date);
            write_epoch(epoch_time);
        }
        finish_epoch();
    }
    return 1;
}

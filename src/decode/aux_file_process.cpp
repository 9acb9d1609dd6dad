// The first pass over the whole log: navigation data to its stores, the
// first and last dates, the data interval, and the signal inventory of
// every epoch; for RINEX 3.05 also what the observation file will store.
// It also times the first epoch and the last epoch that the observation
// pass will write, for the header and for a log whose first epochs come
// before its first receiver date, times the reception of the ionosphere
// and time-parameter messages (the epoch each stands in), and reports
// every navigation store that had to drop records at its limit.
#include "decode/aux_file_process.h"

#include <iostream>
#include <string>

#include "decode/Auxiliary_decoder_for_OBS.h"
#include "decode/Decode_OBS.h"
#include "decode/Decode_func.h"
#include "decode/VLX_reader.h"
#include "decode/le_read.h"
#include "rinex_obs/Rin_ODF_Data_record.h"
#include "rinex_obs/Sat_type.h"
#include "stores/Sat_type.h"
#include "stores/VLX_msgs.h"
#include "stores/VLX_objects.h"

namespace {

// An epoch that the observation file keeps, decoded and folded as the
// observation pass will decode it, and surveyed: the RINEX 3.05 header
// states which satellites the file stores and the phase corrections that
// their phases carry. (The signal flags have run already.)
void survey_epoch() {
    decode_observation_values();
    if (Enable_GLCDMA) fold_GLCDMA_observations();
    survey_data_record();
}

// One line per store that reached its limit: which store, and how many
// new records it dropped, so that the loss is not silent.
void report_full_stores() {
    for (int s = 0; s < STORE_COUNT; ++s)
        if (!Store_dropped[s].empty())
            std::cout << "Navigation store full: " << Store_name[s] << ", " << Store_dropped[s].size()
                      << " records dropped" << std::endl;
}

// An epoch time that was taken before the log named any date gets the date
// that the first receiver date implies: `shift` turns the count of
// midnights since the first epoch into a day number.
void date_afterwards(Epoch_ms& t, int64_t shift) {
    if (t.dated) return;
    t.day += shift;
    t.dated = true;
}

// The reception time of every ionosphere and time-parameter record stored
// so far.
template <class F>
void each_reception(F f) {
    auto received = [&f](auto& r) { f(r.received); };
    each_stored(Iono_GPS, GPS_ION_Par_n, received);
    each_stored(Iono_QZSS, QZSS_ION_Par_n, received);
    each_stored(Iono_BDS, BDS_ION_Par_n, received);
    each_stored(Iono_NavIC, NavIC_ION_Par_n, received);
    each_stored(GPS_UTC_Par, GPS_UTC_Par_n, received);
    each_stored(QZSS_UTC_Par, QZSS_UTC_Par_n, received);
    each_stored(BDS_UTC_Par, BDS_UTC_Par_n, received);
    each_stored(NavIC_UTC_Par, NavIC_UTC_Par_n, received);
    each_stored(GAL_UTC_Par, GAL_UTC_Par_n, received);
    if (GLO_Time_Par.has_message) f(GLO_Time_Par.received);
}

}  // namespace

int process_aux_file(FILE* log) {
    wr_u32(RT, 0, 0);
    Epoch_reading = Epoch_ms{};
    // A "TD" before the first "~~" ends no epoch of this pass.
    Epoch_frame frame = {false, false, false};
    bool interval_found = false;

    // The epochs as the observation pass will time and keep them: the
    // first one, then those on the requested grid from it that come after
    // the last one kept (a repeated or out-of-order epoch is not written).
    const uint32_t interval_ms = requested_interval_ms(INTERVAL_Requested);
    Pass_clock clock = {{0, 0, false}, {0, 0, false}, false};
    const Epoch_ms& epoch = clock.epoch;
    long epochs = 0;
    Epoch_first_obs = Epoch_last_obs = epoch;
    const bool survey = Rinex_Ver < 4.0;
    clear_stored_survey();
    // Runs before the epoch's tables are emptied.
    auto epoch_ends = [&]() {
        bool kept = false;
        if (epochs == 1) {
            Epoch_first_obs = Epoch_last_obs = epoch;
            kept = true;
        } else if (on_grid(true, Epoch_first_obs.ms, epoch.ms, interval_ms) && epoch_after(epoch, Epoch_last_obs)) {
            Epoch_last_obs = epoch;
            kept = true;
        }
        if (kept && survey) survey_epoch();
    };
    // The records read until now end: their signal flags go to the
    // inventory, the epoch (when one ends) is timed and surveyed, and the
    // tables are emptied for the next one.
    auto records_end = [&](bool epoch_closed) {
        decode_OBS_aux();
        if (epoch_closed) epoch_ends();
        finalize_aux_observation_epoch();
    };

    while (!std::feof(log) && !std::ferror(log)) {  // a read error ends the pass too
        std::string id = VLXFileReader(log);
        const Epoch_step step = frame_epoch(frame, id);
        // Every "TD" runs the flag decoders, also one that ends nothing
        // new: a repeated one, or one before the first "~~".
        if (step.closed || step.end) records_end(step.closed);
        // Every "~~" and "RD" renews the receiver dates: the time of day
        // comes with the one, the day with the other.
        if (step.opened || step.dated) {
            decode_RD_aux();
            decode_RD();
        } else {
            decode_for_avail_OBS(id);
        }
        if (step.dated) {
            const Epoch_ms before = epoch;
            if (pass_clock_date(clock) && !before.dated) {
                const int64_t shift = epoch.day - before.day;
                date_afterwards(Epoch_first_obs, shift);
                date_afterwards(Epoch_last_obs, shift);
                each_reception([shift](Epoch_ms& t) { date_afterwards(t, shift); });
            }
            Epoch_reading = epoch;
        }
        if (step.opened) {
            // The data interval: the first step forward from the latest
            // epoch before (over a midnight too); a repeated or out-of-order
            // epoch measures nothing.
            const int64_t d = pass_clock_tick(clock, rd_u32(RT, 0));
            if (!interval_found && d > 0) {
                INTERVAL_Aux = static_cast<float>(static_cast<double>(d) * 0.001);
                interval_found = true;
            }
            ++epochs;
            // The messages read before the first epoch were received in it.
            if (step.first) each_reception([&epoch](Epoch_ms& t) { t = epoch; });
            Epoch_reading = epoch;
        }
    }
    if (frame_log_end(frame)) records_end(true);
    report_full_stores();
    return 1;
}

// Every record of every table is emptied, so that the flag decoders of the
// next epoch claim records afresh (a satellite ranked beyond 31 of its
// system would otherwise keep its record and lock out the next epoch's
// satellite of that rank).
void finalize_aux_observation_epoch() { clear_satellite_tables(CLEAR_WHOLE); }

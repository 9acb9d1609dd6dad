// The first pass over the whole log: navigation data to its stores, the
// first and last dates, the data interval, and the signal inventory of
// every epoch; at the end the satellite count of the observation header.
// It also times the first epoch and the last epoch that the observation
// pass will write, for the header and for a log whose first epochs come
// before its first receiver date, and reports every navigation store that
// had to drop records at its limit.
#include "decode/aux_file_process.h"

#include <iostream>
#include <string>

#include "decode/Auxiliary_decoder_for_OBS.h"
#include "decode/Decode_func.h"
#include "decode/VLX_reader.h"
#include "decode/le_read.h"
#include "stores/Sat_type.h"
#include "stores/VLX_msgs.h"
#include "stores/VLX_objects.h"

namespace {

constexpr uint32_t MS_PER_DAY = 86400000;

template <int N>
void clear_all(SV_data (&table)[N], uint64_t& written) {
    clear_written(table, N, written);
}

template <int R, int N>
void copy_row0_to_row6(uint32_t (&list)[R][N]) {
    for (int j = 0; j < N; ++j) list[6][j] = list[0][j];
}

template <int R, int N>
int count_row6(const uint32_t (&list)[R][N]) {
    int c = 0;
    for (int j = 0; j < N; ++j)
        if (list[6][j] != 0) ++c;
    return c;
}

void close_epoch() {
    decode_OBS_aux();
    finalize_aux_observation_epoch();
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

}  // namespace

int process_aux_file(FILE* log) {
    wr_u32(RT, 0, 0);
    bool seen = false;   // a "~~" has opened an epoch
    bool open = false;   // the current epoch is not closed yet
    bool interval_found = false;
    uint32_t prev = 0;   // time of day of the previous "~~", ms

    // The epochs as the observation pass will time and keep them: the
    // first one, then those on the requested grid from it.
    const uint32_t interval_ms = requested_interval_ms(INTERVAL_Requested);
    Epoch_ms clock = {0, 0, false};
    long epochs = 0;
    Epoch_first_obs = Epoch_last_obs = clock;
    auto epoch_ends = [&]() {
        if (epochs == 1) Epoch_first_obs = clock;
        if (epochs == 1 || on_grid(true, Epoch_first_obs.ms, clock.ms, interval_ms)) Epoch_last_obs = clock;
    };

    while (!std::feof(log) && !std::ferror(log)) {  // a read error ends the pass too
        std::string id = VLXFileReader(log);
        const bool epoch_time = is_id(id, "~~");
        if (epoch_time && seen && open) {
            close_epoch();
            epoch_ends();
        }
        decode_for_avail_OBS(id);
        if (is_id(id, "RD")) {
            const Epoch_ms before = clock;
            if (epoch_clock_date(clock) && !before.dated) {
                date_afterwards(Epoch_first_obs, clock.day - before.day);
                date_afterwards(Epoch_last_obs, clock.day - before.day);
            }
        }
        if (epoch_time) {
            const uint32_t c = rd_u32(RT, 0);
            if (seen && !interval_found) {
                // One wrap over midnight.
                const uint32_t d = prev > c ? c + MS_PER_DAY - prev : c - prev;
                if (d != 0) {
                    INTERVAL_Aux = static_cast<float>(d * 0.001);
                    interval_found = true;
                }
            }
            prev = c;
            seen = true;
            open = true;
            epoch_clock_tick(clock, c);
            ++epochs;
        }
        if (is_id(id, "TD")) {  // the dispatcher has just run the flag decoders
            finalize_aux_observation_epoch();
            if (seen && open) epoch_ends();
            open = false;
        }
    }
    if (seen && open) {
        close_epoch();
        epoch_ends();
    }

    copy_row0_to_row6(GPS_SAT_NUM_SYS);
    copy_row0_to_row6(NavIC_SAT_NUM_SYS);
    copy_row0_to_row6(GLO_SAT_NUM_SYS);
    copy_row0_to_row6(GAL_SAT_NUM_SYS);
    copy_row0_to_row6(BDS_SAT_NUM_SYS);

    nSAt_max = 0;
    if (Enable_GPS) nSAt_max += count_row6(GPS_SAT_NUM_SYS);
    if (Enable_GLO) nSAt_max += count_row6(GLO_SAT_NUM_SYS);
    if (Enable_GLCDMA) nSAt_max += count_row6(GLCDMA_SAT_NUM_SYS);
    if (Enable_NavIC) nSAt_max += count_row6(NavIC_SAT_NUM_SYS);
    if (Enable_SBAS) nSAt_max += count_row6(SBAS_SAT_NUM_SYS);
    if (Enable_GAL) nSAt_max += count_row6(GAL_SAT_NUM_SYS);
    if (Enable_QZSS) nSAt_max += count_row6(QZSS_SAT_NUM_SYS);
    if (Enable_BDS) nSAt_max += count_row6(BDS_SAT_NUM_SYS);
    report_full_stores();
    return 1;
}

// Every record of every table is emptied, so that the flag decoders of the
// next epoch claim records afresh (a satellite ranked beyond 31 of its
// system would otherwise keep its record and lock out the next epoch's
// satellite of that rank).
void finalize_aux_observation_epoch() {
    clear_all(GPS_SVs, GPS_SVs_written);
    clear_all(GLO_SVs, GLO_SVs_written);
    clear_all(GAL_SVs, GAL_SVs_written);
    clear_all(QZSS_SVs, QZSS_SVs_written);
    clear_all(BDS_SVs, BDS_SVs_written);
    clear_all(NavIC_SVs, NavIC_SVs_written);
    clear_all(SBAS_SVs, SBAS_SVs_written);
    clear_all(GLCDMA_SVs, GLCDMA_SVs_written);
}

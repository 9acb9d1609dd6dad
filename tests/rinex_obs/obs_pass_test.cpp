// The observation pass over small logs of epoch-time and epoch-end
// messages: where the header goes, which epochs are written on the
// interval grid (also across midnight), the end of the log.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "decode/Decode_func.h"
#include "rinex_obs/Rinex_File_maker.h"
#include "stores/VLX_objects.h"
#include "support/files.h"
#include "support/rinex_capture.h"
#include "vlxlog/vlx_builder.h"

using rinexcap::capture;
using testfiles::lines_of;

namespace {

constexpr uint32_t H_MS = 3600000, M_MS = 60000, S_MS = 1000;

// A log of epochs: each a "~~" with its time of day, optionally closed by "TD".
std::string epochs_log(const std::vector<uint32_t>& times, bool with_end) {
    std::string log;
    for (uint32_t t : times) {
        log += vlxlog::epoch_time(t);
        if (with_end) log += vlxlog::frame("TD", std::string(8, '\0'));
    }
    return log;
}

std::vector<uint32_t> every(uint32_t start_ms, uint32_t step_ms, int n) {
    std::vector<uint32_t> v;
    for (int i = 0; i < n; ++i) v.push_back((start_ms + step_ms * static_cast<uint32_t>(i)) % 86400000u);
    return v;
}

// A fresh pass: the header not yet written, the first epoch's time as the
// first pass finds it (the logs carry no receiver dates) and the data
// interval known.
void fresh(int y, int mo, int d, int h, int mi, int s, float interval, double requested) {
    reset_stores();
    Epoch_first_obs = {days_from_civil(y, mo, d), static_cast<uint32_t>(h * H_MS + mi * M_MS + s * S_MS), true};
    RCV_date.v[EP_SYS] = 0;
    INTERVAL_Aux = interval;
    INTERVAL_Requested = requested;
}

std::string run_pass(std::string log) {
    FILE* f = fmemopen(log.data(), log.size(), "rb");
    EXPECT_NE(f, nullptr);
    std::string text = capture([f](std::ofstream& o) { ObservationFileMaker(o, f); });
    std::fclose(f);
    return text;
}

// Date and time of every epoch line ("2024 05 09 10 30 30.0000000").
std::vector<std::string> epoch_times(const std::string& text) {
    std::vector<std::string> v;
    for (const std::string& l : lines_of(text))
        if (l.rfind("> ", 0) == 0) v.push_back(l.substr(2, 27));
    return v;
}

int header_lines_before_first_epoch(const std::string& text, int* end_line) {
    const auto lines = lines_of(text);
    *end_line = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() > 60 && lines[i].substr(60) == "END OF HEADER") *end_line = static_cast<int>(i);
        if (lines[i].rfind("> ", 0) == 0) return static_cast<int>(i);
    }
    return static_cast<int>(lines.size());
}

}  // namespace

TEST(ObsPass, HeaderThenEveryEpochIncludingTheLastWithoutEnd) {
    fresh(2024, 5, 9, 10, 30, 0, 1.0f, 0);
    const std::string text = run_pass(epochs_log(every(10 * H_MS + 30 * M_MS, S_MS, 4), false));
    int end_line;
    const int first_epoch = header_lines_before_first_epoch(text, &end_line);
    EXPECT_EQ(end_line, first_epoch - 1);
    EXPECT_EQ(lines_of(text)[0].substr(60), "RINEX VERSION / TYPE");
    EXPECT_NE(text.find(rinexcap::H("     1.000", "INTERVAL")), std::string::npos);
    EXPECT_EQ(epoch_times(text), (std::vector<std::string>{"2024 05 09 10 30  0.0000000", "2024 05 09 10 30  1.0000000",
                                                           "2024 05 09 10 30  2.0000000", "2024 05 09 10 30  3.0000000"}));
}

TEST(ObsPass, EpochsClosedByEndMessagesAreWrittenOnce) {
    fresh(2024, 5, 9, 10, 30, 0, 1.0f, 0);
    const std::string text = run_pass(epochs_log(every(10 * H_MS + 30 * M_MS, S_MS, 3), true));
    EXPECT_EQ(epoch_times(text), (std::vector<std::string>{"2024 05 09 10 30  0.0000000", "2024 05 09 10 30  1.0000000",
                                                           "2024 05 09 10 30  2.0000000"}));
}

TEST(ObsPass, RepeatedEndMessageDoesNotWriteTheEpochAgain) {
    fresh(2024, 5, 9, 10, 30, 0, 1.0f, 0);
    std::string log = epochs_log(every(10 * H_MS + 30 * M_MS, S_MS, 3), true);
    log += vlxlog::frame("TD", std::string(8, '\0'));
    const std::string text = run_pass(log);
    EXPECT_EQ(epoch_times(text).size(), 3u);
}

TEST(ObsPass, SingleEpochLogGivesAnEmptyFile) {
    for (bool with_end : {false, true}) {
        fresh(2024, 5, 9, 10, 30, 0, 1.0f, 0);
        EXPECT_EQ(run_pass(epochs_log({10 * H_MS}, with_end)), "") << with_end;
    }
    fresh(2024, 5, 9, 10, 30, 0, 1.0f, 0);
    EXPECT_EQ(run_pass(""), "");
}

// The grid is counted from the first written epoch, whether epochs end at
// "TD" or at the next "~~".
TEST(ObsPass, IntervalGridFromTheFirstWrittenEpoch) {
    struct Case {
        double requested;
        bool with_end;
        std::vector<std::string> written;
    } cases[] = {
        {2.0, false, {"10 30  0", "10 30  2", "10 30  4"}},
        {2.0, true, {"10 30  0", "10 30  2", "10 30  4"}},
        {3.0, false, {"10 30  0", "10 30  3"}},
        {0.0004, false, {"10 30  0", "10 30  1", "10 30  2", "10 30  3", "10 30  4", "10 30  5"}},
        {-2.0, false, {"10 30  0", "10 30  1", "10 30  2", "10 30  3", "10 30  4", "10 30  5"}},
        {1e12, true, {"10 30  0"}},
    };
    for (const Case& c : cases) {
        fresh(2024, 5, 9, 10, 30, 0, 1.0f, c.requested);
        const auto times = epoch_times(run_pass(epochs_log(every(10 * H_MS + 30 * M_MS, S_MS, 6), c.with_end)));
        std::vector<std::string> got;
        for (const auto& t : times) got.push_back(t.substr(11, 8));
        EXPECT_EQ(got, c.written) << c.requested << (c.with_end ? " TD" : "");
    }
}

TEST(ObsPass, GridAcrossMidnight) {
    for (bool with_end : {false, true}) {
        fresh(2024, 5, 9, 23, 59, 50, 1.0f, 30.0);
        const std::string text = run_pass(epochs_log(every(23 * H_MS + 59 * M_MS + 50 * S_MS, S_MS, 45), with_end));
        EXPECT_EQ(epoch_times(text), (std::vector<std::string>{"2024 05 09 23 59 50.0000000",
                                                               "2024 05 10 00 00 20.0000000"}))
            << with_end;
        EXPECT_NE(text.find(rinexcap::H("    30.000", "INTERVAL")), std::string::npos);
    }
}

// A log that starts one second before midnight: its second epoch begins at
// time of day 0, and the first epoch must still be written.
TEST(ObsPass, SecondEpochAtMidnightKeepsTheFirstEpoch) {
    for (bool with_end : {false, true}) {
        fresh(2024, 5, 9, 23, 59, 59, 1.0f, 0);
        const std::string text = run_pass(epochs_log(every(23 * H_MS + 59 * M_MS + 59 * S_MS, S_MS, 3), with_end));
        EXPECT_NE(text.find(rinexcap::H("  2024     5     9    23    59   59.0000000     GPS", "TIME OF FIRST OBS")),
                  std::string::npos);
        EXPECT_EQ(epoch_times(text), (std::vector<std::string>{"2024 05 09 23 59 59.0000000",
                                                               "2024 05 10 00 00  0.0000000",
                                                               "2024 05 10 00 00  1.0000000"}))
            << with_end;
        int end_line;
        header_lines_before_first_epoch(text, &end_line);
        EXPECT_GT(end_line, 0);
    }
}

// RINEX epochs rise: an epoch at or before the last one written is left
// out, and the epochs after it keep their own day, before and after a
// midnight, on and off the grid, ended by "TD" or not, and at the end of the
// log.
TEST(ObsPass, EpochsThatDoNotRiseAreLeftOut) {
    const uint32_t T0 = 10 * H_MS + 30 * M_MS, NIGHT = 23 * H_MS + 59 * M_MS + 58 * S_MS;
    struct Case {
        const char* what;
        std::vector<uint32_t> times;  // ms of day
        double requested;
        std::vector<std::string> written;
        int dated_at = -1;  // the epoch that carries the receiver date (the first pass's)
    } cases[] = {
        {"one out of order", {T0 + 30000, T0 + 31000, T0 + 32000, T0 + 31000, T0 + 33000, T0 + 34000}, 0,
         {"09 10 30 30", "09 10 30 31", "09 10 30 32", "09 10 30 33", "09 10 30 34"}},
        {"repeated", {T0, T0 + 1000, T0 + 1000, T0 + 2000}, 0, {"09 10 30  0", "09 10 30  1", "09 10 30  2"}},
        {"the first repeated", {T0, T0, T0 + 1000}, 0, {"09 10 30  0", "09 10 30  1"}},
        {"the last out of order", {T0, T0 + 1000, T0 + 2000, T0 + 1500}, 0,
         {"09 10 30  0", "09 10 30  1", "09 10 30  2"}},
        {"half a day back", {T0 + 12 * H_MS, T0, T0 + 12 * H_MS + 1000}, 0,
         {"09 22 30  0", "09 22 30  1"}},
        {"half a day back, dated", {T0 + 12 * H_MS, T0, T0 + 12 * H_MS + 1000, T0 + 12 * H_MS + 2000}, 0,
         {"09 22 30  0", "09 22 30  1", "09 22 30  2"}, 1},
        {"over midnight", {NIGHT, NIGHT + 1000, 0, 1000, NIGHT + 1000, 2000, 1000, 3000}, 0,
         {"09 23 59 58", "09 23 59 59", "10 00 00  0", "10 00 00  1", "10 00 00  2", "10 00 00  3"}},
        {"on the grid", {T0, T0 + 1000, T0 + 2000, T0 + 2000, T0 + 3000, T0 + 4000, T0 + 2000, T0 + 6000}, 2.0,
         {"09 10 30  0", "09 10 30  2", "09 10 30  4", "09 10 30  6"}},
    };
    for (bool with_end : {false, true}) {
        for (const Case& c : cases) {
            const uint32_t first = c.times[0];
            fresh(2024, 5, 9, first / H_MS, first / M_MS % 60, first / S_MS % 60, 1.0f, c.requested);
            std::string log;
            for (size_t k = 0; k < c.times.size(); ++k) {
                log += epochs_log({c.times[k]}, with_end);
                if (static_cast<int>(k) == c.dated_at) log += vlxlog::receiver_date(2024, 5, 9);
            }
            std::vector<std::string> got;
            for (const auto& t : epoch_times(run_pass(log))) got.push_back(t.substr(8, 11));
            EXPECT_EQ(got, c.written) << c.what << (with_end ? ", TD" : "");
        }
    }
}

TEST(ObsPass, CodeDivisionFoldOnlyWhileEnabled) {
    for (bool enabled : {false, true}) {
        fresh(2024, 5, 9, 10, 30, 0, 1.0f, 0);
        GLCDMA_OBS_Arr[0] = "C4X";
        GLO_OBS_Arr[25].clear();
        Enable_GLCDMA = enabled;
        run_pass(epochs_log(every(10 * H_MS, S_MS, 2), true));
        EXPECT_EQ(GLO_OBS_Arr[25], enabled ? "C4X" : "") << enabled;
    }
}

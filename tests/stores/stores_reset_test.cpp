// reset_stores: everything a conversion leaves in the stores goes back to
// the start-up state, so that one process converts a log a second time
// into the same files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "decode/aux_file_process.h"
#include "rinex_nav/Rinex_File_maker.h"
#include "rinex_nav/Sat_type.h"
#include "rinex_obs/Rinex_File_maker.h"
#include "rinex_obs/Sat_type.h"
#include "stores/VLX_objects.h"
#include "support/files.h"
#include "support/rinex_capture.h"
#include "support/run_command.h"

#ifndef VLXSIM_BIN
#define VLXSIM_BIN ""
#endif

namespace {

// One conversion of `log` in this process, in the entry point's order: the
// observation file, then the navigation files of RINEX 4 (one mixed file
// from `stem`), all in one text.
std::string convert(std::string log, double version, const std::string& stem) {
    Rinex_Ver = version;
    FILE* f = fmemopen(log.data(), log.size(), "rb");
    if (f == nullptr) return "";
    process_aux_file(f);
    std::fclose(f);
    Aux_stage = 0;
    sort_SV_num();
    f = fmemopen(log.data(), log.size(), "rb");
    if (f == nullptr) return "";
    std::string text = rinexcap::capture([f](std::ofstream& o) { ObservationFileMaker(o, f); });
    std::fclose(f);
    if (version < 4.0) return text;
    sort_GPS_ephemeris();
    sort_NavIC_ephemeris();
    sort_GLO_ephemeris();
    sort_GAL_ephemeris();
    sort_BDS_ephemeris();
    sort_QZSS_ephemeris();
    sort_SBAS_ephemeris();
    EXPECT_TRUE(NavigationFileMaker(stem, true));
    return text + testfiles::read_file(stem + "_MN.rnx");
}

// A log of the simulator, with the options `sim`.
std::string simulated_log(const std::string& dir, const std::string& name, const std::vector<std::string>& sim) {
    const std::string path = dir + "/" + name;
    std::vector<std::string> argv = {VLXSIM_BIN, "-o", path};
    argv.insert(argv.end(), sim.begin(), sim.end());
    const runcmd::Result r = runcmd::run(argv);
    EXPECT_EQ(r.status, 0) << r.err;
    return testfiles::read_file(path);
}

class StoresReset : public testing::TestWithParam<double> {};

}  // namespace

// In a fresh process a log is converted; then another log of other days,
// systems and satellites, in the other RINEX version; after reset_stores
// the first log gives the same files again. Without the reset it does not
// (the header is written once per run, the stores keep the other log's
// records).
TEST_P(StoresReset, AConversionAfterAnotherWritesWhatAFreshProcessWrites) {
    if (std::string(VLXSIM_BIN).empty()) GTEST_SKIP() << "simulator not built";
    const double version = GetParam();
    const std::string dir = testfiles::temp_dir();
    ASSERT_FALSE(dir.empty());
    const std::string log = simulated_log(dir, "sky.vlx", {"--epochs", "40", "--td-every", "3", "--seed", "3"});
    const std::string other = simulated_log(
        dir, "other.vlx", {"--epochs", "30", "--interval", "30", "--start", "2024-06-01 12:00:00", "--systems",
                           "GRCS", "--rd-start", "4", "--seed", "9"});
    ASSERT_FALSE(log.empty());
    ASSERT_FALSE(other.empty());

    reset_stores();  // a no-op in a fresh process, where each case runs
    const std::string fresh = convert(log, version, dir + "/fresh");
    ASSERT_NE(fresh.find("END OF HEADER"), std::string::npos);
    ASSERT_NE(fresh.find("\n> "), std::string::npos);
    reset_stores();
    convert(other, version < 4.0 ? 4.01 : 3.05, dir + "/other");
    reset_stores();
    EXPECT_EQ(convert(log, version, dir + "/again"), fresh);
    EXPECT_NE(convert(log, version, dir + "/unreset"), fresh);
}

INSTANTIATE_TEST_SUITE_P(BothVersions, StoresReset, testing::Values(3.05, 4.01));

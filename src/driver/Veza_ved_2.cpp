// The converter's entry point: configuration from the command line, the
// first pass over the log, the observation file from the second pass, then
// the navigation files. Every progress and error line goes to standard
// output; the only line on standard error is the system's reason when the
// log cannot be opened (and the parser's reason for a rejected command
// line).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "decode/Decode_func.h"
#include "decode/aux_file_process.h"
#include "driver/Arg_parse_config.h"
#include "driver/Rinex_FileNameCreate.h"
#include "driver/argparse.hpp"
#include "rinex_common/Rinex_header.h"
#include "rinex_nav/Rinex_File_maker.h"
#include "rinex_obs/Rinex_File_maker.h"
#include "rinex_obs/Sat_type.h"
#include "stores/Sat_type.h"
#include "stores/VLX_objects.h"

namespace {

void say(const std::string& line) { std::cout << line << std::endl; }

// A failure after the log was opened: its message on standard output,
// status 1.
int fail(const std::string& message) {
    say(message);
    return 1;
}

// The date of an epoch for the long names: whole seconds, the
// milliseconds dropped, as the receiver dates of the records carry them.
RCV_Epoch long_name_date(const Epoch_ms& t) {
    RCV_Epoch d{};
    epoch_fields(t, d);
    d.v[EP_SEC] = static_cast<float>(t.ms / 1000 % 60);
    return d;
}

// The log, opened for reading with a large buffer: each pass reads the
// whole log, and the default buffer of a few KiB costs one system call per
// few KiB. The passes run one after the other (the first log is closed
// before the second is opened), so they share one fixed buffer.
FILE* open_log(const std::string& name) {
#ifdef __AFL_HAVE_MANUAL_CONTROL
    // Fuzzing builds: the address sanitizer checks the whole buffer at each
    // setvbuf, and a fuzzer's logs are short.
    static char buffer[1 << 16];
#else
    static char buffer[1 << 20];
#endif
    FILE* f = std::fopen(name.c_str(), "rb");
    if (f != nullptr) std::setvbuf(f, buffer, _IOFBF, sizeof buffer);
    return f;
}

// The command line into the configuration values, which hold their
// start-up values until then (reset_stores: every system on, RINEX 4.00).
// The status of the run when it ends here (a rejected command line), -1
// when the conversion goes on.
int configure(argparse::ArgumentParser& parser, int argc, char** argv) {
    arge_parce_config(parser);
    try {
        parser.parse_args(argc, argv);
    } catch (const argparse::parse_error& e) {
        return parser.report_error(e);
    }
    arge_parce_check(parser);
    return -1;
}

// The conversion of the configured log.
int run(const argparse::ArgumentParser& parser) {
    if (!(Rinex_Ver == 3.05 || Rinex_Ver == 4.0 || Rinex_Ver == 4.01)) return fail("Unsupported Rinex Version");

    std::cout << "Rinex Version: " << Rinex_Ver << std::endl;
    say("VLX File: " + filename);

    FILE* log = open_log(filename);
    if (log == nullptr) {
        std::cout << parser.help() << std::endl;
        std::perror("File Error: ");
        return 1;
    }
    // fopen succeeds on a directory (and on some files that cannot be
    // read); the passes would then never see the end of the log. One probe
    // read tells them apart from a readable, possibly empty, log.
    // The probed byte is pushed back, so the first pass sees the whole log.
    const int first_byte = std::fgetc(log);
    if (first_byte == EOF && std::ferror(log)) {
        const std::string reason = std::strerror(errno);
        std::fclose(log);
        return fail("File Error: " + filename + ": " + reason);
    }
    if (first_byte == EOF)
        std::clearerr(log);  // an empty log: the first pass finds its end itself
    else
        std::ungetc(first_byte, log);

    say("Conversion in progress");
    process_aux_file(log);
    get_cur_time();
    const bool read_failed = std::ferror(log) != 0;
    std::fclose(log);
    if (read_failed) return fail("Cannot read the log " + filename);
    // Without a receiver date no epoch has a date to print; the first pass
    // dates the first epoch from any calendar date of the log.
    if (!Epoch_first_obs.dated) return fail("No receiver date in the log");

    // From here on the flag decoders no longer register codes and satellites.
    Aux_stage = 0;
    sort_SV_num();

    FILE* log2 = open_log(filename);
    if (log2 == nullptr) return fail("Cannot open the log a second time: " + filename);

    const std::string yy = std::to_string(year - 2000);
    const std::string base = filename.size() < 4 ? filename : filename.substr(0, filename.size() - 4);
    const bool long_names = Enable_Long_File_Name && Rinex_Ver >= 4.0;

    std::string obs_name = base + "." + yy + "o";
    std::string period;
    int lt[4] = {0, 0, 0, 0};
    if (long_names) {
        try {
            // The span of the records that the observation file holds (its
            // first and last observation times), at the interval that its
            // header names.
            const float interval = file_interval();
            const RCV_Epoch first = long_name_date(Epoch_first_obs), last = long_name_date(Epoch_last_obs);
            get_RINEX_long_file_name_time(first.v, lt);
            std::string freq = make_RINEX_data_freq(interval);
            period = make_RINEX_file_duration(first.v, last.v, interval);
            obs_name = make_RINEX_long_file_name(Site_Code, Monument_Number, Receiver_Number, Country_Code,
                                                 Data_Source, lt[0], lt[1], lt[2], lt[3], period, freq, "MO");
        } catch (const std::string& message) {
            std::fclose(log2);
            return fail(message);
        }
    }

    std::ofstream obs(obs_name, std::ios::out | std::ios::trunc);
    if (!obs.is_open()) {
        std::fclose(log2);
        return fail("Cannot create observation file " + obs_name);
    }
    say("Preparing Observation data");
    ObservationFileMaker(obs, log2);
    obs.close();
    if (std::ferror(log2)) {
        std::fclose(log2);
        return fail("Cannot read the log " + filename);
    }
    if (obs.fail()) {
        std::fclose(log2);
        return fail("Cannot write observation file " + obs_name);
    }
    say("Preparing Navigation data");

    // The navigation files are named from a stem: RINEX 3.05 adds a letter
    // per constellation to "rover.26", RINEX 4 an ending to "rover.26p" or
    // to the long-name stem.
    std::string nav_stem = base + "." + yy + (Rinex_Ver < 4.0 ? "" : "p");
    if (long_names) {
        try {
            nav_stem = make_RINEX_long_file_name(Site_Code, Monument_Number, Receiver_Number, Country_Code,
                                                 Data_Source, lt[0], lt[1], lt[2], lt[3], period, "", "MN");
        } catch (const std::string& message) {
            std::fclose(log2);
            return fail(message);
        }
    }
    const bool nav_ok = write_navigation_files(nav_stem, MixedNavFile);
    std::fclose(log2);
    if (!nav_ok) return 1;

    say("The process is complete");
    return 0;
}

// A step of the run with its errors caught: the step's status, or 1 after
// the error's message.
template <class Step>
int caught(Step step) {
    try {
        return step();
    } catch (const std::string& message) {
        return fail(message);
    } catch (const std::exception& e) {
        return fail(std::string("Error: ") + e.what());
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<argparse::ArgumentParser> parser;
    int status = caught([&] {
        parser.emplace("VORSKEL", version_text());
        return configure(*parser, argc, argv);
    });
#ifdef __AFL_HAVE_MANUAL_CONTROL
    // Fuzzing builds (AFL++): the fork server starts here, so that what is
    // the same for every input is done once before the fork instead of in
    // every input's process: the global stores are built, the command line
    // is read, standard output gets its buffer and the time zone that the
    // run date's conversion reads is loaded.
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    tzset();
    __AFL_INIT();
#endif
    if (status < 0) status = caught([&] { return run(*parser); });
#ifdef __AFL_HAVE_MANUAL_CONTROL
    // Every file of the run is written and closed by now; only the standard
    // streams still hold output. Ending here skips the destruction of the
    // global stores, which under the sanitizers' allocator costs more than
    // the conversion of most inputs.
    std::cout.flush();
    std::fflush(nullptr);
    std::_Exit(status);
#endif
    return status;
}

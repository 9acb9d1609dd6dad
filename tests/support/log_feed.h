// Feeds a log built in memory through the converter's reader, so that tests
// set the raw records exactly as a real log would.
#pragma once

#include <cstdio>
#include <string>

#include "decode/VLX_reader.h"

namespace vlxlog {

// Reads every message of `log`; each identifier is handed to `dispatch`
// when one is given (a dispatcher of either pass, or a test's own).
template <typename F>
inline void feed(const std::string& log, F dispatch) {
    std::string bytes = log;
    FILE* f = fmemopen(bytes.data(), bytes.size(), "rb");
    if (f == nullptr) return;
    while (!std::feof(f)) {
        std::string id = VLXFileReader(f);
        dispatch(id);
    }
    std::fclose(f);
}

inline void feed(const std::string& log) {
    feed(log, [](std::string&) {});
}

// Runs a whole first pass over `log`.
template <typename Pass>
inline void run_pass(const std::string& log, Pass pass) {
    std::string bytes = log;
    FILE* f = fmemopen(bytes.data(), bytes.size(), "rb");
    if (f == nullptr) return;
    pass(f);
    std::fclose(f);
}

}  // namespace vlxlog

// Byte-identity guard for the whole converter: two small simulator logs are
// converted with every RINEX version and a set of option combinations, and
// a digest of every output file is compared with the one kept in
// tests/data/output_digests.txt. Only the run date of the
// "PGM / RUN BY / DATE" lines is masked, and the two year digits that the
// run date puts into the short file names.
//
// The expected digests change only on purpose (a change of output that is
// meant). Regenerate them with
//   UPDATE_DIGESTS=1 ctest --test-dir build -R OutputDigest
// and say in the commit message why the output changed.
#include <gtest/gtest.h>

#include <dirent.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/converter_run.h"
#include "support/files.h"

namespace {

// FNV-1a, 64 bits: small, and any change of a byte changes the digest.
uint64_t fnv1a64(const std::string& bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

std::string hex64(uint64_t v) {
    char b[17];
    std::snprintf(b, sizeof b, "%016llx", static_cast<unsigned long long>(v));
    return b;
}

// Short names carry the run year after the first dot ("a.26o",
// "a.26p_MN.rnx"): shown as "YY".
std::string mask_name_year(std::string name) {
    const size_t dot = name.find('.');
    if (dot != std::string::npos && dot + 2 < name.size() && std::isdigit(static_cast<unsigned char>(name[dot + 1])) &&
        std::isdigit(static_cast<unsigned char>(name[dot + 2])))
        name.replace(dot + 1, 2, "YY");
    return name;
}

// Runs a command line; false when it does not exit with status 0.
bool run(const std::string& cmd) { return std::system(cmd.c_str()) == 0; }

struct Log {
    const char* name;
    const char* sim_args;  // simulator options besides the output file
};

// A: 300 epochs of every system, each epoch closed by "TD".
// B: epochs across midnight, only every third closed by "TD", other seed.
const Log LOGS[] = {
    {"a", "--epochs 300 --interval 1 --start \"2024-03-15 00:00:00\" --systems GREJCIS --seed 1"},
    {"b", "--epochs 240 --interval 1 --start \"2024-03-15 23:58:30\" --systems GREJCIS --seed 7 --td-every 3"},
};

const char* const VERSIONS[] = {"3.05", "4.00", "4.01"};
const char* const OPTION_SETS[] = {"", "-SN", "-p 30", "-R", "-C -E"};

// Converts `log` (already in `dir`) with `args` in a directory of its own
// and adds "<log> <args> | <file> <digest>" for every file written.
void digest_run(const std::string& log_path, const std::string& log_name, const std::string& args,
                std::map<std::string, std::string>& out) {
    const std::string dir = testfiles::temp_dir();
    ASSERT_FALSE(dir.empty());
    const std::string local = dir + "/" + log_name + ".vlx";
    ASSERT_TRUE(run("cp " + log_path + " " + local));
    const std::string cmd = "cd " + dir + " && " + VORSKEL_BIN + " -f " + log_name + ".vlx " + args + " > console.txt";
    EXPECT_TRUE(run(cmd)) << cmd << "\n" << testfiles::read_file(dir + "/console.txt");
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name == "." || name == ".." || name == "console.txt" || name == log_name + ".vlx") continue;
            names.push_back(name);
        }
        closedir(d);
    }
    for (const std::string& name : names) {
        const std::string key = log_name + " [" + args + "] " + mask_name_year(name);
        out[key] = hex64(fnv1a64(convrun::mask_run_date(testfiles::read_file(dir + "/" + name))));
    }
    run("rm -rf " + dir);
}

std::string digest_file() { return std::string(VORSKEL_TEST_DATA) + "/output_digests.txt"; }

std::map<std::string, std::string> load_digests(const std::string& path) {
    std::map<std::string, std::string> m;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const size_t sp = line.rfind(' ');
        if (sp == std::string::npos) continue;
        m[line.substr(0, sp)] = line.substr(sp + 1);
    }
    return m;
}

}  // namespace

// The digest itself: the published FNV-1a 64 values of two short texts,
// and a single changed byte gives another digest.
TEST(OutputDigest, DigestFunctionIsFnv1a64) {
    EXPECT_EQ(hex64(fnv1a64("")), "cbf29ce484222325");
    EXPECT_EQ(hex64(fnv1a64("a")), "af63dc4c8601ec8c");
    EXPECT_NE(fnv1a64("G01  20000000.000"), fnv1a64("G01  20000000.001"));
}

TEST(OutputDigest, EveryVersionAndOptionSet) {
    const std::string work = testfiles::temp_dir();
    ASSERT_FALSE(work.empty());
    std::map<std::string, std::string> got;
    for (const Log& log : LOGS) {
        const std::string path = work + "/" + log.name + ".vlx";
        ASSERT_TRUE(run(std::string(VLXSIM_BIN) + " -o " + path + " " + log.sim_args + " > /dev/null"));
        for (const char* v : VERSIONS)
            for (const char* opts : OPTION_SETS) {
                std::string args = std::string("-rv ") + v;
                if (*opts) args += std::string(" ") + opts;
                digest_run(path, log.name, args, got);
            }
    }
    run("rm -rf " + work);

    const char* update = std::getenv("UPDATE_DIGESTS");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream out(digest_file(), std::ios::trunc);
        out << "# FNV-1a 64 of every output file (run date masked); see tests/end_to_end/output_digest_test.cpp\n";
        for (const auto& [key, digest] : got) out << key << ' ' << digest << '\n';
        ASSERT_TRUE(out.good());
        GTEST_SKIP() << "digests written to " << digest_file();
    }

    const std::map<std::string, std::string> want = load_digests(digest_file());
    ASSERT_FALSE(want.empty()) << "no expected digests in " << digest_file();
    for (const auto& [key, digest] : want) {
        const auto it = got.find(key);
        if (it == got.end())
            ADD_FAILURE() << "missing output: " << key;
        else
            EXPECT_EQ(it->second, digest) << "output differs: " << key;
    }
    for (const auto& [key, digest] : got)
        if (want.find(key) == want.end()) ADD_FAILURE() << "unexpected output: " << key;
}

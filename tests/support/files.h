// Files of the tests: a whole file read back, text split into its lines,
// and a fresh scratch directory. Scratch lies under $TMPDIR, which ctest
// points into the build folder, so that two builds running their tests at
// once never share it.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace testfiles {

// The bytes of a file; "" when it cannot be read.
inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The lines of a text, without their newlines; a last line without a
// newline counts, an empty text has none.
inline std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> v;
    size_t p = 0;
    while (p < text.size()) {
        size_t e = text.find('\n', p);
        if (e == std::string::npos) e = text.size();
        v.push_back(text.substr(p, e - p));
        p = e + 1;
    }
    return v;
}

// The lines of a file.
inline std::vector<std::string> file_lines(const std::string& path) { return lines_of(read_file(path)); }

// Directories made by temp_dir, removed with their contents when the test
// process ends.
inline std::vector<std::string>& made_dirs() {
    static std::vector<std::string> dirs;
    return dirs;
}
inline void remove_made_dirs() {
    std::error_code ec;
    for (const std::string& d : made_dirs()) std::filesystem::remove_all(d, ec);
}

// A new empty directory under the system's temporary directory; it is
// removed at the end of the test process. "" when none can be made.
inline std::string temp_dir() {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/vorskel-XXXXXX";
    std::vector<char> name(templ.begin(), templ.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) return "";
    if (made_dirs().empty()) std::atexit(remove_made_dirs);
    made_dirs().push_back(name.data());
    return name.data();
}

}  // namespace testfiles

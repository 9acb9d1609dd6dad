// The log reader: one VLX message per call, its body stored in the raw
// record of its identifier (stores/VLX_msgs.h).
#pragma once

#include <cstdio>
#include <string>

// Reads one message from the log and returns its two-character identifier
// (two NUL characters when the log has ended).
std::string VLXFileReader(FILE* log);
// Skips a message of an identifier the reader does not know: three length
// characters, then L+1 bytes.
void unkown_msg(FILE* log);
// Whether an identifier is the given two characters: the dispatchers test
// every message against their tables, so without building or measuring a
// C string.
inline bool is_id(const std::string& id, const char* two) {
    return id.size() == 2 && id[0] == two[0] && id[1] == two[1];
}
// The first n characters of a buffer, NULs included.
std::string convertToString(const char* a, int n);

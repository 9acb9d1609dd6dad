// The log reader: one VLX message per call, its body stored in the raw
// record of its identifier (stores/VLX_msgs.h); and the epoch framer that
// both passes run on the identifiers it returns.
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

// The epoch framer: the one place that knows the three identifiers that
// shape an epoch. An epoch opens at a "~~" (its time of day is in RT) and
// ends at its first "TD" or, when none comes, at the next "~~" or at the
// end of the log; an "RD" dates the epoch being read. Each pass keeps one
// Epoch_frame, hands it every identifier and acts on the step it gets back.
struct Epoch_frame {
    // Set by the pass: whether a "TD" read before the first "~~" ends an
    // epoch. The observation pass decodes (and sorts) at it what the
    // records hold, as at any epoch end; the first pass counts no epoch
    // there and only takes its flags into the inventory.
    bool early_end_closes;
    bool started;  // a "~~" has been read
    bool closed;   // a "TD" has come since the last "~~": nothing more ends its epoch
};
// What one message does to the epoch.
struct Epoch_step {
    bool opened;  // a "~~": an epoch opens here
    bool first;   // with opened: the log's first "~~" (no epoch came before)
    bool closed;  // the epoch read until now ends here (decode it once)
    bool dated;   // an "RD": the receiver date of the epoch being read
    bool end;     // a "TD", also one that ends nothing new: a repeated one,
                  // or one before the first "~~" (see early_end_closes)
};
Epoch_step frame_epoch(Epoch_frame& f, const std::string& id);
// At the end of the log: whether an epoch is still open, which the end
// closes (the last epoch of a log without a closing "TD").
bool frame_log_end(Epoch_frame& f);

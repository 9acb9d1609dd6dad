// Fixed-width RINEX fields, shared by the observation and navigation
// writers: every writer formats its numbers and texts through these
// helpers, which append to a line buffer; the bytes are the ones the C++
// streams would print with the same width, precision, fill and notation
// (the C library's printf conversions).
#pragma once

#include <ostream>
#include <string>

// Text right- or left-adjusted in `w` columns with blank fill; a longer
// text is written whole.
void fmt_right(std::string& out, const std::string& s, int w);
void fmt_left(std::string& out, const std::string& s, int w);
// Text cut to at most `w` characters, then left-adjusted in `w` columns.
void fmt_left_cut(std::string& out, const std::string& s, int w);
void fmt_blanks(std::string& out, int n);

// Integer right-adjusted in `w` columns, blank-filled or zero-filled.
// Zero fill goes to the left of a sign, as a right-adjusted stream with
// fill '0' prints it: -4 in width 3 is "0-4".
void fmt_int(std::string& out, long long v, int w);
void fmt_int0(std::string& out, long long v, int w);

// Fixed notation with `prec` decimals, right-adjusted in `w` columns.
void fmt_fixed(std::string& out, double v, int w, int prec);
void fmt_fixed(std::string& out, long double v, int w, int prec);
// Fixed notation with `prec` decimals into the last columns of a field of
// `w` blanks (the bytes of fmt_fixed with width w); false, and the field
// left as it was, when the text is longer than the field.
bool fixed_into(char* field, int w, double v, int prec);
// The second of a receiver date, rounded to milliseconds (so that
// single-precision 29.99999809 prints as 30.0000000), fixed with 7
// decimals, right-adjusted in `w` columns. No carry into the minute:
// 59.9996 prints as 60.0000000 (the epoch times are whole milliseconds,
// so their seconds never round up to 60).
void fmt_second(std::string& out, float second, int w);
// Fixed notation with `prec` decimals, zero-filled on the left to `w`
// columns (stream fill '0', right adjustment).
void fmt_fixed0(std::string& out, double v, int w, int prec);
// Fixed notation with `prec` decimals, left-adjusted in `w` columns.
void fmt_fixed_left(std::string& out, double v, int w, int prec);
// Scientific notation with `prec` decimals and lowercase "e",
// right-adjusted in `w` columns.
void fmt_sci(std::string& out, double v, int w, int prec);

// Pads a header line to 60 columns (when shorter), appends its label and a
// newline, and writes it.
void put_header_line(std::ostream& os, std::string& line, const char* label);
// Writes a line buffer followed by a newline.
void put_line(std::ostream& os, const std::string& line);

// Command-line definition and checks of the converter.
#pragma once

#include <string>

#include "driver/argparse.hpp"

// Declares every option in help-text order with its help text, binds the
// value options to their configuration values (store_into) and the switches as
// flags, and sets the description and epilog.
void arge_parce_config(argparse::ArgumentParser& parser);

// After parse_args: applies the switches to the configuration values
// (each system's switch of the systems table, -G -R -E -J -C -I -S -GC,
// clears its Enable_ value, -W clears Enable_SBAS as -S does, -SN clears
// MixedNavFile, -ln sets Enable_Long_File_Name). Validates nothing.
void arge_parce_check(argparse::ArgumentParser& parser);

// What "-v" prints: the program's name and version, as the RINEX program
// line carries them ("VORSKEL v0.1.2b").
std::string version_text();

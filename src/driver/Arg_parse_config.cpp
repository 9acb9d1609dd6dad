// Command-line definition and checks of the converter.
#include "driver/Arg_parse_config.h"

#include "stores/Sat_type.h"
#include "stores/VLX_objects.h"

void arge_parce_config(argparse::ArgumentParser& parser) {
    parser.add_argument("-f", "--filename").help("Input file name (with extension)").store_into(filename);
    parser.add_argument("-rv", "--rinexver")
        .help("3.05|4.00|4.01 - rinex version, default version - 4.00")
        .store_into(Rinex_Ver);
    parser.add_argument("-G").help("Exclude all GPS SVs").flag();
    parser.add_argument("-R").help("Exclude all GLONASS SVs").flag();
    // "W" for WAAS: the same as "-S".
    parser.add_argument("-W").help("Exclude all SBAS SVs").flag();
    parser.add_argument("-E").help("Exclude all Galileo SVs").flag();
    parser.add_argument("-C").help("Exclude all BeiDou SVs").flag();
    parser.add_argument("-J").help("Exclude all QZSS SVs").flag();
    parser.add_argument("-I").help("Exclude all NavIC SVs").flag();
    parser.add_argument("-GC").help("Exclude all GLCDMA SVs").flag();
    parser.add_argument("-S").help("Exclude all SBAS SVs").flag();
    parser.add_argument("-p", "--period")
        .help("Requested observation output interval in seconds, for example 30")
        .store_into(INTERVAL_Requested);
    parser.add_argument("-ln", "--longname").help("RINEX Long Filenames").flag();
    parser.add_argument("-sc", "--sitecode")
        .help("4-char station name for long RINEX file name, for example ALGO")
        .store_into(Site_Code);
    parser.add_argument("-mn", "--monument")
        .help("Monument number for long RINEX file name, 0-9")
        .store_into(Monument_Number);
    parser.add_argument("-rc", "--receiver")
        .help("Receiver number for long RINEX file name, 0-9")
        .store_into(Receiver_Number);
    parser.add_argument("-cc", "--country")
        .help("ISO 3166-1 alpha-3 country code for long RINEX file name, for example CAN")
        .store_into(Country_Code);
    parser.add_argument("-DH").help("AntennaDeltaH").store_into(Ant_delt_H);
    parser.add_argument("-DE").help("AntennaDeltaE").store_into(Ant_delt_E);
    parser.add_argument("-DN").help("AntennaDeltaN").store_into(Ant_delt_N);
    parser.add_argument("-AN").help("AntennaNumber").store_into(ANT_NUM);
    parser.add_argument("-SN").help("Separate Navigation Files").flag();

    parser.add_description(version_text() + ", TOVRA GNSS, Inc");
    parser.add_epilog("VORSKEL -h or --help for help");
}

std::string version_text() { return "VORSKEL " + version; }

void arge_parce_check(argparse::ArgumentParser& parser) {
    for (const Sat_system& s : SAT_SYSTEM)
        if (parser[s.option] == true) *s.enabled = false;
    if (parser["-W"] == true) Enable_SBAS = false;  // "W" for WAAS: the same as "-S"
    if (parser["-SN"] == true) MixedNavFile = false;
    if (parser["-ln"] == true) Enable_Long_File_Name = true;
}

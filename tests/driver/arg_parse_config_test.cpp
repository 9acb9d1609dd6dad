// Tests of the converter's command line: arge_parce_config and
// arge_parce_check on the project's parser, against the configuration values.
#include "driver/Arg_parse_config.h"
#include "stores/VLX_objects.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

// Snapshot of every value the command line can change.
struct Config {
    bool gps = true, glo = true, gal = true, qzss = true, bds = true, navic = true, sbas = true,
         glcdma = true, mixed = true, longname = false;
    double ver = 4.0, period = 0, dh = 0, de = 0, dn = 0;
    std::string file = " ", site = "ZELK", monument = "0", receiver = "0", country = "USA",
                ant = "-Unknown-";
    bool operator==(const Config&) const = default;
};

Config current() {
    Config c;
    c.gps = Enable_GPS;
    c.glo = Enable_GLO;
    c.gal = Enable_GAL;
    c.qzss = Enable_QZSS;
    c.bds = Enable_BDS;
    c.navic = Enable_NavIC;
    c.sbas = Enable_SBAS;
    c.glcdma = Enable_GLCDMA;
    c.mixed = MixedNavFile;
    c.longname = Enable_Long_File_Name;
    c.ver = Rinex_Ver;
    c.period = INTERVAL_Requested;
    c.dh = Ant_delt_H;
    c.de = Ant_delt_E;
    c.dn = Ant_delt_N;
    c.file = filename;
    c.site = Site_Code;
    c.monument = Monument_Number;
    c.receiver = Receiver_Number;
    c.country = Country_Code;
    c.ant = ANT_NUM;
    return c;
}

std::ostream& operator<<(std::ostream& os, const Config& c) {
    return os << "{G" << c.gps << " R" << c.glo << " E" << c.gal << " J" << c.qzss << " C" << c.bds
              << " I" << c.navic << " S" << c.sbas << " GC" << c.glcdma << " mixed" << c.mixed
              << " ln" << c.longname << " ver " << c.ver << " p " << c.period << " dh " << c.dh
              << " de " << c.de << " dn " << c.dn << " f '" << c.file << "' sc '" << c.site
              << "' mn '" << c.monument << "' rc '" << c.receiver << "' cc '" << c.country
              << "' an '" << c.ant << "'}";
}

// Runs the converter's sequence config -> parse -> check, exits disabled.
struct ConverterRun {
    std::ostringstream out;
    argparse::ArgumentParser parser{"VORSKEL", version_text(), argparse::default_arguments::all, false, out};
    explicit ConverterRun(Args args) {
        arge_parce_config(parser);
        args.insert(args.begin(), "VORSKEL");
        parser.parse_args(args);
        arge_parce_check(parser);
    }
};

struct Case {
    const char* name;
    Args args;
    Config (*expect)();
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class CommandLine : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override { reset_stores(); }
};

TEST_P(CommandLine, SetsConfiguration) {
    const Case& c = GetParam();
    ConverterRun run(c.args);
    EXPECT_EQ(current(), c.expect());
    EXPECT_TRUE(run.out.str().empty());
}

#define EXPECT_CONFIG(body) [] { Config c; body; return c; }

const Case kCases[] = {
    {"NoOptions", {}, EXPECT_CONFIG()},
    {"G", {"-G"}, EXPECT_CONFIG(c.gps = false)},
    {"R", {"-R"}, EXPECT_CONFIG(c.glo = false)},
    {"E", {"-E"}, EXPECT_CONFIG(c.gal = false)},
    {"C", {"-C"}, EXPECT_CONFIG(c.bds = false)},
    {"J", {"-J"}, EXPECT_CONFIG(c.qzss = false)},
    {"I", {"-I"}, EXPECT_CONFIG(c.navic = false)},
    {"GC", {"-GC"}, EXPECT_CONFIG(c.glcdma = false)},
    {"S", {"-S"}, EXPECT_CONFIG(c.sbas = false)},
    {"WExcludesSBASAsSDoes", {"-W"}, EXPECT_CONFIG(c.sbas = false)},
    {"WAndS", {"-W", "-S"}, EXPECT_CONFIG(c.sbas = false)},
    {"AllConstellations",
     {"-G", "-R", "-E", "-C", "-J", "-I", "-GC", "-S", "-W"},
     EXPECT_CONFIG(c.gps = c.glo = c.gal = c.bds = c.qzss = c.navic = c.glcdma = c.sbas = false)},
    {"SN", {"-SN"}, EXPECT_CONFIG(c.mixed = false)},
    {"ln", {"-ln"}, EXPECT_CONFIG(c.longname = true)},
    {"longname", {"--longname"}, EXPECT_CONFIG(c.longname = true)},
    {"f", {"-f", "rover.bin"}, EXPECT_CONFIG(c.file = "rover.bin")},
    {"filename", {"--filename", "d/rover.bin"}, EXPECT_CONFIG(c.file = "d/rover.bin")},
    {"rv305", {"-rv", "3.05"}, EXPECT_CONFIG(c.ver = 3.05)},
    {"rinexver401", {"--rinexver", "4.01"}, EXPECT_CONFIG(c.ver = 4.01)},
    {"rv400", {"-rv", "4.00"}, EXPECT_CONFIG(c.ver = 4.0)},
    {"rv4", {"-rv", "4"}, EXPECT_CONFIG(c.ver = 4.0)},
    {"rv304NotValidatedHere", {"-rv", "3.04"}, EXPECT_CONFIG(c.ver = 3.04)},
    {"p", {"-p", "30"}, EXPECT_CONFIG(c.period = 30)},
    {"period", {"--period", "0.5"}, EXPECT_CONFIG(c.period = 0.5)},
    {"pZeroSameAsAbsent", {"-p", "0"}, EXPECT_CONFIG()},
    {"sc", {"-sc", "ALGO"}, EXPECT_CONFIG(c.site = "ALGO")},
    {"sitecodeLowerCaseAccepted", {"--sitecode", "algo"}, EXPECT_CONFIG(c.site = "algo")},
    {"scAnyLength", {"-sc", "AB"}, EXPECT_CONFIG(c.site = "AB")},
    {"mn", {"-mn", "5"}, EXPECT_CONFIG(c.monument = "5")},
    {"monument", {"--monument", "7"}, EXPECT_CONFIG(c.monument = "7")},
    {"rc", {"-rc", "3"}, EXPECT_CONFIG(c.receiver = "3")},
    {"receiver", {"--receiver", "9"}, EXPECT_CONFIG(c.receiver = "9")},
    {"cc", {"-cc", "CAN"}, EXPECT_CONFIG(c.country = "CAN")},
    {"country", {"--country", "DEU"}, EXPECT_CONFIG(c.country = "DEU")},
    {"DH", {"-DH", "1.25"}, EXPECT_CONFIG(c.dh = 1.25)},
    {"DE", {"-DE", "-0.5"}, EXPECT_CONFIG(c.de = -0.5)},
    {"DN", {"-DN", "2e-3"}, EXPECT_CONFIG(c.dn = 2e-3)},
    {"AN", {"-AN", "12345"}, EXPECT_CONFIG(c.ant = "12345")},
    {"Everything",
     {"-f", "x.vlx", "-rv", "3.05", "-G", "-R", "-W", "-E", "-C", "-J", "-I", "-GC", "-S", "-p", "15",
      "-ln", "-sc", "ALGO", "-mn", "1", "-rc", "2", "-cc", "CAN", "-DH", "1", "-DE", "2", "-DN", "3",
      "-AN", "A1", "-SN"},
     EXPECT_CONFIG(c.file = "x.vlx"; c.ver = 3.05;
                   c.gps = c.glo = c.gal = c.bds = c.qzss = c.navic = c.glcdma = c.sbas = false;
                   c.period = 15; c.longname = true; c.site = "ALGO"; c.monument = "1";
                   c.receiver = "2"; c.country = "CAN"; c.dh = 1; c.de = 2; c.dn = 3; c.ant = "A1";
                   c.mixed = false)},
};

#undef EXPECT_CONFIG

INSTANTIATE_TEST_SUITE_P(ArgParseConfig, CommandLine, ::testing::ValuesIn(kCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

class ArgParseConfig : public ::testing::Test {
protected:
    void SetUp() override { reset_stores(); }
};

TEST_F(ArgParseConfig, HelpTextHasEveryOptionInOrderWithItsText) {
    std::ostringstream out;
    argparse::ArgumentParser parser("VORSKEL", version_text(), argparse::default_arguments::all, false, out);
    arge_parce_config(parser);
    const std::string help = parser.help();
    const std::string usage =
        "Usage: VORSKEL [--help] [--version] [--filename VAR] [--rinexver VAR] [-G] [-R]\n"
        "               [-W] [-E] [-C] [-J] [-I] [-GC] [-S] [--period VAR] [--longname]\n"
        "               [--sitecode VAR] [--monument VAR] [--receiver VAR]\n"
        "               [--country VAR] [-DH VAR] [-DE VAR] [-DN VAR] [-AN VAR] [-SN]\n";
    const std::string body =
        "\n"
        "VORSKEL v0.1.2b, TOVRA GNSS, Inc\n"
        "\n"
        "Optional arguments:\n"
        "  -h, --help           shows help message and exits\n"
        "  -v, --version        prints version information and exits\n"
        "  -f, --filename VAR   Input file name (with extension)\n"
        "  -rv, --rinexver VAR  3.05|4.00|4.01 - rinex version, default version - 4.00\n"
        "  -G                   Exclude all GPS SVs\n"
        "  -R                   Exclude all GLONASS SVs\n"
        "  -W                   Exclude all SBAS SVs\n"
        "  -E                   Exclude all Galileo SVs\n"
        "  -C                   Exclude all BeiDou SVs\n"
        "  -J                   Exclude all QZSS SVs\n"
        "  -I                   Exclude all NavIC SVs\n"
        "  -GC                  Exclude all GLCDMA SVs\n"
        "  -S                   Exclude all SBAS SVs\n"
        "  -p, --period VAR     Requested observation output interval in seconds, for example 30\n"
        "  -ln, --longname      RINEX Long Filenames\n"
        "  -sc, --sitecode VAR  4-char station name for long RINEX file name, for example ALGO\n"
        "  -mn, --monument VAR  Monument number for long RINEX file name, 0-9\n"
        "  -rc, --receiver VAR  Receiver number for long RINEX file name, 0-9\n"
        "  -cc, --country VAR   ISO 3166-1 alpha-3 country code for long RINEX file name, for example CAN\n"
        "  -DH VAR              AntennaDeltaH\n"
        "  -DE VAR              AntennaDeltaE\n"
        "  -DN VAR              AntennaDeltaN\n"
        "  -AN VAR              AntennaNumber\n"
        "  -SN                  Separate Navigation Files\n"
        "\n"
        "VORSKEL -h or --help for help\n";
    EXPECT_EQ(help, usage + body);
    // -h prints exactly that help text on the parser's output stream.
    parser.parse_args(Args{"VORSKEL", "-h"});
    EXPECT_EQ(out.str(), help);
}

// The name and version that the RINEX program line carries.
TEST_F(ArgParseConfig, VersionPrintsTheProgramNameAndVersion) {
    for (const char* option : {"-v", "--version"}) {
        ConverterRun run({option});
        EXPECT_EQ(run.out.str(), "VORSKEL v0.1.2b\n") << option;
    }
}

TEST_F(ArgParseConfig, SwitchesAreReadByEveryName) {
    ConverterRun run({"--longname"});
    EXPECT_TRUE(run.parser["-ln"]);
    EXPECT_TRUE(run.parser["--longname"]);
    EXPECT_FALSE(run.parser["-SN"]);
}

TEST_F(ArgParseConfig, RejectedCommandLines) {
    const std::pair<Args, std::string> cases[] = {
        {{"-rv", "4.0x"}, "Invalid number for option -rv: '4.0x'"},
        {{"-p", "thirty"}, "Invalid number for option -p: 'thirty'"},
        {{"-f"}, "Missing value for option -f"},
        {{"-f", "-G"}, "Missing value for option -f"},
        {{"-X"}, "Unknown argument: -X"},
        {{"-GR"}, "Unknown argument: -GR"},
        {{"rover.bin"}, "Unexpected positional argument: 'rover.bin'"},
    };
    for (const auto& [args, reason] : cases) {
        reset_stores();
        try {
            ConverterRun run(args);
            ADD_FAILURE() << "accepted: " << reason;
        } catch (const argparse::parse_error& e) {
            EXPECT_EQ(std::string(e.what()), reason);
        }
    }
}

// The converter's settings: exit on -h/-v with status 0 (output to std::cerr
// here so the death test can match it; the converter uses std::cout).
TEST(ArgParseConfigDeathTest, HelpAndVersionExitZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const char* option : {"-h", "--help"}) {
        EXPECT_EXIT(
            {
                argparse::ArgumentParser parser("VORSKEL", version_text(), argparse::default_arguments::all,
                                                true, std::cerr);
                arge_parce_config(parser);
                parser.parse_args(Args{"VORSKEL", "-G", option});
                std::exit(3);
            },
            ::testing::ExitedWithCode(0), "Separate Navigation Files\n\nVORSKEL -h or --help for help\n$");
    }
    for (const char* option : {"-v", "--version"}) {
        EXPECT_EXIT(
            {
                argparse::ArgumentParser parser("VORSKEL", version_text(), argparse::default_arguments::all,
                                                true, std::cerr);
                arge_parce_config(parser);
                parser.parse_args(Args{"VORSKEL", option});
                std::exit(3);
            },
            ::testing::ExitedWithCode(0), "^VORSKEL v0\\.1\\.2b\n$");
    }
}

}  // namespace

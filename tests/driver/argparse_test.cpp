// Unit tests of the project's own command-line parser (src/driver/argparse.hpp).
#include "driver/argparse.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using argparse::ArgumentParser;
using Args = std::vector<std::string>;

// Targets bound by the test parser; reset for every parser built.
struct Targets {
    std::string file = " ";
    double ver = 4.0;
    double dh = 0.0;
    std::string site = "ZELK";
};

// A parser shaped like the converter's: two-name, multi-character single-dash
// and one-name options of every kind. Default options do not exit.
struct TestParser {
    Targets t;
    std::ostringstream out;
    ArgumentParser p{"VORSKEL", "9.8.7", argparse::default_arguments::all, false, out};
    TestParser() {
        p.add_argument("-f", "--filename").help("Input file name (with extension)").store_into(t.file);
        p.add_argument("-rv", "--rinexver").help("rinex version").store_into(t.ver);
        p.add_argument("-G").help("Exclude all GPS SVs").flag();
        p.add_argument("-GC").help("Exclude all GLCDMA SVs").flag();
        p.add_argument("-ln", "--longname").help("RINEX Long Filenames").flag();
        p.add_argument("-sc", "--sitecode").help("site").store_into(t.site);
        p.add_argument("-DH").help("AntennaDeltaH").store_into(t.dh);
    }
};

// ---------------------------------------------------------------- accepted

struct AcceptCase {
    const char* name;
    Args args;
    std::string file;
    double ver;
    double dh;
    std::string site;
    bool G, GC, ln;
};

void PrintTo(const AcceptCase& c, std::ostream* os) { *os << c.name; }

class Accept : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(Accept, StoresValuesAndFlags) {
    const AcceptCase& c = GetParam();
    TestParser tp;
    Args argv{"VORSKEL"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    ASSERT_NO_THROW(tp.p.parse_args(argv));
    EXPECT_EQ(tp.t.file, c.file);
    EXPECT_EQ(tp.t.ver, c.ver);
    EXPECT_EQ(tp.t.dh, c.dh);
    EXPECT_EQ(tp.t.site, c.site);
    EXPECT_EQ(tp.p["-G"], c.G);
    EXPECT_EQ(tp.p["-GC"], c.GC);
    EXPECT_EQ(tp.p["-ln"], c.ln);
    EXPECT_EQ(tp.p["--longname"], c.ln);  // either name reads the same switch
    EXPECT_TRUE(tp.out.str().empty());
}

const AcceptCase kAccept[] = {
    {"Empty", {}, " ", 4.0, 0.0, "ZELK", false, false, false},
    {"ShortText", {"-f", "a.vlx"}, "a.vlx", 4.0, 0.0, "ZELK", false, false, false},
    {"LongText", {"--filename", "dir/b.vlx"}, "dir/b.vlx", 4.0, 0.0, "ZELK", false, false, false},
    {"LongTextEquals", {"--filename=c.vlx"}, "c.vlx", 4.0, 0.0, "ZELK", false, false, false},
    {"ShortTextEquals", {"-f=d.vlx"}, "d.vlx", 4.0, 0.0, "ZELK", false, false, false},
    {"EqualsKeepsLaterEquals", {"-f=a=b"}, "a=b", 4.0, 0.0, "ZELK", false, false, false},
    {"EmptyTextEquals", {"-f="}, "", 4.0, 0.0, "ZELK", false, false, false},
    {"EmptyTextElement", {"-f", ""}, "", 4.0, 0.0, "ZELK", false, false, false},
    {"TextWithBlank", {"-f", "my log.vlx"}, "my log.vlx", 4.0, 0.0, "ZELK", false, false, false},
    {"TextLooksLikeOptionViaEquals", {"-f=-G"}, "-G", 4.0, 0.0, "ZELK", false, false, false},
    {"MultiCharNumber", {"-rv", "3.05"}, " ", 3.05, 0.0, "ZELK", false, false, false},
    {"LongNumber", {"--rinexver", "4.01"}, " ", 4.01, 0.0, "ZELK", false, false, false},
    {"NumberEquals", {"-rv=4.00"}, " ", 4.0, 0.0, "ZELK", false, false, false},
    {"IntegerNumber", {"-rv", "4"}, " ", 4.0, 0.0, "ZELK", false, false, false},
    {"NegativeNumber", {"-DH", "-1.5"}, " ", 4.0, -1.5, "ZELK", false, false, false},
    {"PlusNumber", {"-DH", "+2.25"}, " ", 4.0, 2.25, "ZELK", false, false, false},
    {"ExponentNumber", {"-DH", "1.5e2"}, " ", 4.0, 150.0, "ZELK", false, false, false},
    {"LeadingDotNumber", {"-DH", ".5"}, " ", 4.0, 0.5, "ZELK", false, false, false},
    {"OneFlag", {"-G"}, " ", 4.0, 0.0, "ZELK", true, false, false},
    {"MultiCharFlag", {"-GC"}, " ", 4.0, 0.0, "ZELK", false, true, false},
    {"TwoNameFlagLong", {"--longname"}, " ", 4.0, 0.0, "ZELK", false, false, true},
    {"TwoNameFlagShort", {"-ln"}, " ", 4.0, 0.0, "ZELK", false, false, true},
    {"RepeatedFlag", {"-G", "-G"}, " ", 4.0, 0.0, "ZELK", true, false, false},
    {"RepeatedValueLastWins", {"-sc", "ALGO", "--sitecode", "algo"}, " ", 4.0, 0.0, "algo", false, false, false},
    {"Everything",
     {"-GC", "-f", "x.bin", "-ln", "-rv", "3.05", "-G", "-sc", "ABCD", "-DH", "0.125"},
     "x.bin", 3.05, 0.125, "ABCD", true, true, true},
};

INSTANTIATE_TEST_SUITE_P(Parser, Accept, ::testing::ValuesIn(kAccept),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// ---------------------------------------------------------------- rejected

struct RejectCase {
    const char* name;
    Args args;
    std::string reason;
};

void PrintTo(const RejectCase& c, std::ostream* os) { *os << c.name; }

class Reject : public ::testing::TestWithParam<RejectCase> {};

TEST_P(Reject, ThrowsParseErrorWithReason) {
    const RejectCase& c = GetParam();
    TestParser tp;
    Args argv{"VORSKEL"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    try {
        tp.p.parse_args(argv);
        FAIL() << "no exception";
    } catch (const argparse::parse_error& e) {
        EXPECT_EQ(std::string(e.what()), c.reason);
        EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
    }
    // parse_error is a std::runtime_error.
    EXPECT_THROW(tp.p.parse_args(argv), std::runtime_error);
}

const RejectCase kReject[] = {
    {"UnknownShort", {"-x"}, "Unknown argument: -x"},
    {"UnknownLong", {"--nothing"}, "Unknown argument: --nothing"},
    {"NoBundling", {"-GR"}, "Unknown argument: -GR"},
    {"CaseMatters", {"-g"}, "Unknown argument: -g"},
    {"PrefixNotAccepted", {"--file", "a"}, "Unknown argument: --file"},
    {"UnknownEquals", {"--nothing=1"}, "Unknown argument: --nothing=1"},
    {"DoubleDash", {"--"}, "Unknown argument: --"},
    {"Positional", {"a.vlx"}, "Unexpected positional argument: 'a.vlx'"},
    {"PositionalAfterOption", {"-f", "a.vlx", "b.vlx"}, "Unexpected positional argument: 'b.vlx'"},
    {"SingleDash", {"-"}, "Unexpected positional argument: '-'"},
    {"MissingValueAtEnd", {"-f"}, "Missing value for option -f"},
    {"MissingValueLongName", {"--rinexver"}, "Missing value for option --rinexver"},
    {"MissingValueBeforeOption", {"-f", "-rv", "3.05"}, "Missing value for option -f"},
    {"MissingValueBeforeOptionEquals", {"-sc", "--rinexver=3.05"}, "Missing value for option -sc"},
    {"BadNumber", {"-rv", "abc"}, "Invalid number for option -rv: 'abc'"},
    {"TrailingJunk", {"-rv", "3.05x"}, "Invalid number for option -rv: '3.05x'"},
    {"TrailingBlank", {"-rv", "3.05 "}, "Invalid number for option -rv: '3.05 '"},
    {"LeadingBlank", {"-rv", " 3.05"}, "Invalid number for option -rv: ' 3.05'"},
    {"EmptyNumber", {"-rv", ""}, "Invalid number for option -rv: ''"},
    {"EmptyNumberEquals", {"--rinexver="}, "Invalid number for option --rinexver: ''"},
    {"CommaDecimal", {"-DH", "1,5"}, "Invalid number for option -DH: '1,5'"},
    {"DoubleSign", {"-DH", "+-1"}, "Invalid number for option -DH: '+-1'"},
    {"Infinity", {"-DH", "inf"}, "Invalid number for option -DH: 'inf'"},
    {"NotANumber", {"-DH", "nan"}, "Invalid number for option -DH: 'nan'"},
    {"OutOfRange", {"-DH", "1e999"}, "Invalid number for option -DH: '1e999'"},
    {"Hex", {"-DH", "0x10"}, "Invalid number for option -DH: '0x10'"},
    {"FlagWithValue", {"-G=1"}, "Option -G takes no value"},
    {"HelpWithValue", {"--help=1"}, "Option --help takes no value"},
    {"ErrorAfterGoodOptions", {"-G", "-rv", "3.05", "-q"}, "Unknown argument: -q"},
};

INSTANTIATE_TEST_SUITE_P(Parser, Reject, ::testing::ValuesIn(kReject),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(Parser, ValuesBeforeTheRejectedElementAreWritten) {
    TestParser tp;
    EXPECT_THROW(tp.p.parse_args(Args{"VORSKEL", "-f", "a.vlx", "-rv", "x"}), argparse::parse_error);
    EXPECT_EQ(tp.t.file, "a.vlx");
    EXPECT_EQ(tp.t.ver, 4.0);  // a rejected number leaves its target alone
}

TEST(Parser, ReportErrorPrintsReasonAndUsageAndReturnsOne) {
    TestParser tp;
    std::ostringstream err;
    int status = 0;
    try {
        tp.p.parse_args(Args{"VORSKEL", "-x"});
    } catch (const argparse::parse_error& e) {
        status = tp.p.report_error(e, err);
    }
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err.str(), "VORSKEL: Unknown argument: -x\n" + tp.p.usage() + "\n");
}

// ---------------------------------------------------------------- argv forms

TEST(Parser, AcceptsCharPointerArrays) {
    TestParser tp;
    char a0[] = "VORSKEL", a1[] = "-f", a2[] = "z.vlx", a3[] = "-GC";
    char* argv[] = {a0, a1, a2, a3, nullptr};
    tp.p.parse_args(4, argv);
    EXPECT_EQ(tp.t.file, "z.vlx");
    EXPECT_TRUE(tp.p["-GC"] == true);
    EXPECT_TRUE(tp.p["-G"] == false);

    TestParser tp2;
    const char* cargv[] = {"VORSKEL", "--rinexver", "3.05"};
    tp2.p.parse_args(3, cargv);
    EXPECT_EQ(tp2.t.ver, 3.05);
}

TEST(Parser, ProgramNameOnlyOrNothing) {
    TestParser tp;
    const char* argv[] = {"VORSKEL"};
    EXPECT_NO_THROW(tp.p.parse_args(1, argv));
    EXPECT_NO_THROW(tp.p.parse_args(0, argv));
    EXPECT_NO_THROW(tp.p.parse_args(Args{}));
    EXPECT_FALSE(tp.p["-G"]);
}

TEST(Parser, ReparseResetsSwitches) {
    TestParser tp;
    tp.p.parse_args(Args{"VORSKEL", "-G"});
    EXPECT_TRUE(tp.p["-G"]);
    tp.p.parse_args(Args{"VORSKEL"});
    EXPECT_FALSE(tp.p["-G"]);
}

TEST(Parser, OperatorBracketOnValueOptionMeansGiven) {
    TestParser tp;
    tp.p.parse_args(Args{"VORSKEL", "--filename", "q"});
    EXPECT_TRUE(tp.p["-f"]);
    EXPECT_TRUE(tp.p.is_used("--filename"));
    EXPECT_FALSE(tp.p["-rv"]);
}

// ---------------------------------------------------------------- declaration errors

TEST(Parser, DeclarationErrorsAreLogicErrors) {
    TestParser tp;
    EXPECT_THROW(tp.p["-Q"], std::logic_error);
    EXPECT_THROW(tp.p.add_argument("-f"), std::logic_error);         // already declared
    EXPECT_THROW(tp.p.add_argument("--help"), std::logic_error);     // default option
    EXPECT_THROW(tp.p.add_argument("x"), std::logic_error);          // no dash
    EXPECT_THROW(tp.p.add_argument("-"), std::logic_error);
    EXPECT_THROW(tp.p.add_argument("--"), std::logic_error);
    EXPECT_THROW(tp.p.add_argument("-a=b"), std::logic_error);
    EXPECT_THROW(tp.p.add_argument("-q", "-q"), std::logic_error);
    // logic_error is not a parse_error: a caller catching parse_error does not hide it.
    try {
        tp.p.add_argument("bad");
    } catch (const std::runtime_error&) {
        FAIL() << "declaration error must not be a runtime_error";
    } catch (const std::logic_error&) {
    }
}

TEST(Parser, OptionWithoutKindTakesOneValue) {
    std::ostringstream out;
    ArgumentParser p("P", "1", argparse::default_arguments::none, false, out);
    p.add_argument("-k").help("kept nowhere");
    p.parse_args(Args{"P", "-k", "value"});
    EXPECT_TRUE(p["-k"]);
    EXPECT_THROW(p.parse_args(Args{"P", "-k"}), argparse::parse_error);
}

TEST(Parser, NoDefaultArguments) {
    std::ostringstream out;
    ArgumentParser p("P", "1", argparse::default_arguments::none, false, out);
    EXPECT_THROW(p.parse_args(Args{"P", "-h"}), argparse::parse_error);
    EXPECT_THROW(p["--version"], std::logic_error);
    p.add_argument("-h").flag();  // free to declare now
    p.parse_args(Args{"P", "-h"});
    EXPECT_TRUE(p["-h"]);
}

// ---------------------------------------------------------------- help and version

TEST(Parser, HelpTextLayoutAndOrder) {
    TestParser tp;
    tp.p.add_description("VORSKEL , TOVRA GNSS, Inc");
    tp.p.add_epilog("VORSKEL -h or --help for help");
    const std::string expected =
        "Usage: VORSKEL [--help] [--version] [--filename VAR] [--rinexver VAR] [-G] [-GC]\n"
        "               [--longname] [--sitecode VAR] [-DH VAR]\n"
        "\n"
        "VORSKEL , TOVRA GNSS, Inc\n"
        "\n"
        "Optional arguments:\n"
        "  -h, --help           shows help message and exits\n"
        "  -v, --version        prints version information and exits\n"
        "  -f, --filename VAR   Input file name (with extension)\n"
        "  -rv, --rinexver VAR  rinex version\n"
        "  -G                   Exclude all GPS SVs\n"
        "  -GC                  Exclude all GLCDMA SVs\n"
        "  -ln, --longname      RINEX Long Filenames\n"
        "  -sc, --sitecode VAR  site\n"
        "  -DH VAR              AntennaDeltaH\n"
        "\n"
        "VORSKEL -h or --help for help\n";
    EXPECT_EQ(tp.p.help(), expected);
    std::ostringstream printed;
    printed << tp.p;
    EXPECT_EQ(printed.str(), expected);
    EXPECT_EQ(tp.p.usage(), expected.substr(0, expected.find("\n\n")));
}

TEST(Parser, HelpWithoutDescriptionOrEpilog) {
    std::ostringstream out;
    ArgumentParser p("P", "1", argparse::default_arguments::help, false, out);
    p.add_argument("-a").flag();  // no help text: no trailing blanks
    EXPECT_EQ(p.help(),
              "Usage: P [--help] [-a]\n"
              "\n"
              "Optional arguments:\n"
              "  -h, --help  shows help message and exits\n"
              "  -a\n");
}

TEST(Parser, HelpOptionPrintsHelpToOutputStream) {
    for (const char* name : {"-h", "--help"}) {
        TestParser tp;
        tp.p.parse_args(Args{"VORSKEL", "-G", name, "-x"});  // stops at -h: -x never read
        EXPECT_EQ(tp.out.str(), tp.p.help()) << name;
        EXPECT_TRUE(tp.p["--help"]);
        EXPECT_TRUE(tp.p["-G"]);
    }
}

TEST(Parser, VersionOptionPrintsVersionAndNewline) {
    for (const char* name : {"-v", "--version"}) {
        TestParser tp;
        tp.p.parse_args(Args{"VORSKEL", name});
        EXPECT_EQ(tp.out.str(), "9.8.7\n") << name;
        EXPECT_TRUE(tp.p["-v"]);
    }
    std::ostringstream out;
    ArgumentParser empty("VORSKEL", "", argparse::default_arguments::all, false, out);
    empty.parse_args(Args{"VORSKEL", "-v"});
    EXPECT_EQ(out.str(), "\n");
}

TEST(Parser, ErrorBeforeHelpIsStillAnError) {
    TestParser tp;
    EXPECT_THROW(tp.p.parse_args(Args{"VORSKEL", "-x", "-h"}), argparse::parse_error);
    EXPECT_TRUE(tp.out.str().empty());
}

// With exit on the default options (the converter's setting) the process ends
// with status 0. The output stream is std::cerr here so the death test can see it.
TEST(ParserDeathTest, HelpExitsWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ArgumentParser p("VORSKEL", "", argparse::default_arguments::all, true, std::cerr);
            p.add_epilog("EPILOG-MARK");
            p.parse_args(Args{"VORSKEL", "--help"});
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "Optional arguments:.*EPILOG-MARK");
}

TEST(ParserDeathTest, VersionExitsWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ArgumentParser p("VORSKEL", "V-1.2", argparse::default_arguments::all, true, std::cerr);
            p.parse_args(Args{"VORSKEL", "-v"});
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "^V-1\\.2\n$");
}

}  // namespace

// A small command-line parser, written for this project, with the part of the
// argparse interface that the converter uses: named options only
// (no positional arguments), each with one or more names such as "-f",
// "--filename" or "-rv" (a single-dash name may be several characters long; there
// is no bundling of one-letter switches), value options bound to a std::string or
// a double with store_into, and switches declared with flag.
//
// Command-line rules:
//   - A value option takes exactly one value: the next command-line element, or
//     the text after '=' when written "--name=value" / "-n=value". The next
//     element is not taken as a value when it is itself one of the parser's
//     options ("-f -rv 3.05" is "-f" without its value); a value that looks
//     like an option can still be given as "-f=-G". Values starting with '-'
//     that are not options ("-DH -1.5") are taken as values.
//   - A value is written into its target as soon as it is read; a target whose
//     option is absent keeps its value. When an option is repeated, the last
//     value wins.
//   - Number values must be a whole finite decimal floating-point number
//     ("4", "3.05", "-1.5e2", "+2"); empty text, trailing characters ("3.05x"),
//     leading blanks, "inf", "nan" and out-of-range numbers are rejected.
//   - "-h"/"--help" prints the help text, "-v"/"--version" prints the version
//     text and a newline, both on the parser's output stream; then the process
//     ends with status 0 (or, with exit_on_default_arguments false, parse_args
//     returns at once and the option reads as given).
//   - Anything else is rejected with argparse::parse_error (a std::runtime_error)
//     whose what() is a one-line reason: an unknown option, a positional
//     argument, an option without its value, a bad number, or a value given to
//     a switch ("-G=1"). Elements before the rejected one have been applied.
//
// Programming errors (a bad or duplicate option name, looking up a name that was
// never declared) throw std::logic_error instead, so that a caller catching
// parse_error does not hide them.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <list>
#include <map>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <utility>
#include <vector>

namespace argparse {

// Which of the built-in options the parser declares.
enum class default_arguments : unsigned {
    none = 0,
    help = 1,
    version = 2,
    all = help | version,
};

constexpr default_arguments operator&(default_arguments a, default_arguments b) {
    return static_cast<default_arguments>(static_cast<unsigned>(a) & static_cast<unsigned>(b));
}
constexpr default_arguments operator|(default_arguments a, default_arguments b) {
    return static_cast<default_arguments>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

// A command line that the parser rejects.
class parse_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ArgumentParser;

// One declared option. Obtained from ArgumentParser::add_argument; the setters
// return the option itself so that they chain.
class Argument {
public:
    Argument& help(std::string text) {
        help_ = std::move(text);
        return *this;
    }
    // Value option; its value is written into target while parsing.
    Argument& store_into(std::string& target) {
        kind_ = Kind::text;
        text_target_ = &target;
        number_target_ = nullptr;
        return *this;
    }
    // Number option; its value is converted and written into target while parsing.
    Argument& store_into(double& target) {
        kind_ = Kind::number;
        number_target_ = &target;
        text_target_ = nullptr;
        return *this;
    }
    // Switch: takes no value, reads true when given and false otherwise.
    Argument& flag() {
        kind_ = Kind::flag;
        text_target_ = nullptr;
        number_target_ = nullptr;
        return *this;
    }

    const std::vector<std::string>& names() const { return names_; }
    const std::string& help_text() const { return help_; }
    bool takes_value() const { return kind_ == Kind::text || kind_ == Kind::number; }
    // True when the option appeared in the last parsed command line.
    bool is_used() const { return used_; }

private:
    friend class ArgumentParser;

    // An option declared without store_into or flag takes one text value that
    // is kept nowhere (like the real library's default of one value).
    enum class Kind { text, number, flag, show_help, show_version };

    explicit Argument(std::vector<std::string> names) : names_(std::move(names)) {}

    std::vector<std::string> names_;
    std::string help_;
    Kind kind_ = Kind::text;
    std::string* text_target_ = nullptr;
    double* number_target_ = nullptr;
    bool used_ = false;
};

class ArgumentParser {
public:
    explicit ArgumentParser(std::string program_name = {}, std::string version = "1.0",
                            default_arguments add_args = default_arguments::all,
                            bool exit_on_default_arguments = true, std::ostream& os = std::cout)
        : program_name_(std::move(program_name)),
          version_(std::move(version)),
          exit_on_default_arguments_(exit_on_default_arguments),
          out_(&os) {
        if ((add_args & default_arguments::help) == default_arguments::help) {
            add_argument("-h", "--help").help("shows help message and exits").kind_ =
                Argument::Kind::show_help;
        }
        if ((add_args & default_arguments::version) == default_arguments::version) {
            add_argument("-v", "--version").help("prints version information and exits").kind_ =
                Argument::Kind::show_version;
        }
    }

    // The lookup table points into arguments_; a copy would point into the original.
    ArgumentParser(const ArgumentParser&) = delete;
    ArgumentParser& operator=(const ArgumentParser&) = delete;

    // Declares an option with one or more names, e.g. add_argument("-f", "--filename")
    // or add_argument("-GC"). Each name starts with '-', is not "-" or "--", holds no
    // '=' or blank, and is not already declared (std::logic_error otherwise).
    template <typename... Names>
        requires(sizeof...(Names) >= 1 && (std::is_convertible_v<Names, std::string> && ...))
    Argument& add_argument(Names&&... names) {
        std::vector<std::string> list{std::string(std::forward<Names>(names))...};
        for (std::size_t i = 0; i < list.size(); ++i) {
            check_name(list[i]);
            bool repeated = find(list[i]) != nullptr;
            for (std::size_t j = 0; j < i; ++j) repeated = repeated || list[j] == list[i];
            if (repeated) throw std::logic_error("argparse: option declared twice: " + list[i]);
        }
        arguments_.push_back(Argument(std::move(list)));
        Argument& arg = arguments_.back();
        for (const std::string& name : arg.names_) index_.emplace(name, &arg);
        return arg;
    }

    ArgumentParser& add_description(std::string text) {
        description_ = std::move(text);
        return *this;
    }
    ArgumentParser& add_epilog(std::string text) {
        epilog_ = std::move(text);
        return *this;
    }

    // Reads argv[1] .. argv[argc-1] (argv[0] is the program's own name). A
    // char** converts to this parameter type.
    void parse_args(int argc, const char* const argv[]) {
        std::vector<std::string_view> args;
        for (int i = 1; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
        parse(args);
    }
    // The same for a list whose first element is the program's own name.
    void parse_args(const std::vector<std::string>& arguments) {
        std::vector<std::string_view> args;
        for (std::size_t i = 1; i < arguments.size(); ++i) args.emplace_back(arguments[i]);
        parse(args);
    }

    // True when the option named (by any of its names) was given on the command
    // line: the value of a switch, "given" for a value option.
    bool operator[](std::string_view name) const { return find_declared(name).used_; }
    bool is_used(std::string_view name) const { return find_declared(name).used_; }

    const std::string& program_name() const { return program_name_; }
    const std::string& version() const { return version_; }

    // "Usage: NAME [--help] [--version] [--filename VAR] [-G] ...", wrapped to 80
    // columns with continuation lines indented under the first option. No final newline.
    std::string usage() const {
        const std::string head = "Usage: " + program_name_;
        const std::string indent(head.size(), ' ');
        std::string text = head;
        std::size_t line_start = 0;
        bool first_on_line = true;
        for (const Argument& arg : arguments_) {
            std::string item = "[" + longest_name(arg) + (arg.takes_value() ? " VAR" : "") + "]";
            if (!first_on_line && text.size() - line_start + 1 + item.size() > kWidth) {
                text += '\n';
                line_start = text.size();
                text += indent;
                first_on_line = true;
            }
            text += ' ';
            text += item;
            first_on_line = false;
        }
        return text;
    }

    // The whole help text: usage, blank line, description and blank line (when
    // there is a description), "Optional arguments:" and one line per option in
    // declaration order, then a blank line and the epilog (when there is one).
    // Ends with a newline.
    std::string help() const {
        std::ostringstream out;
        out << usage() << "\n\n";
        if (!description_.empty()) out << description_ << "\n\n";
        out << "Optional arguments:\n";
        std::size_t width = 0;
        for (const Argument& arg : arguments_) width = std::max(width, label(arg).size());
        for (const Argument& arg : arguments_) {
            std::string line = "  " + label(arg);
            if (!arg.help_.empty()) {
                line.append(width - label(arg).size() + 2, ' ');
                line += arg.help_;
            }
            out << line << '\n';
        }
        if (!epilog_.empty()) out << '\n' << epilog_ << '\n';
        return out.str();
    }

    // For the caller that catches a parse_error: writes "NAME: reason" and the
    // usage text to err (standard error by default) and returns 1, the exit
    // status to end with:
    //     try { parser.parse_args(argc, argv); }
    //     catch (const argparse::parse_error& e) { return parser.report_error(e); }
    int report_error(const std::exception& error, std::ostream& err = std::cerr) const {
        if (!program_name_.empty()) err << program_name_ << ": ";
        err << error.what() << '\n' << usage() << '\n';
        err.flush();
        return 1;
    }

private:
    static constexpr std::size_t kWidth = 80;

    static void check_name(const std::string& name) {
        if (name.size() < 2 || name[0] != '-' || name == "--" ||
            name.find_first_of("= \t\n") != std::string::npos) {
            throw std::logic_error("argparse: bad option name: '" + name + "'");
        }
    }

    static std::string longest_name(const Argument& arg) {
        const std::string* best = &arg.names_.front();
        for (const std::string& name : arg.names_) {
            if (name.size() > best->size()) best = &name;
        }
        return *best;
    }

    static std::string label(const Argument& arg) {
        std::string text;
        for (const std::string& name : arg.names_) {
            if (!text.empty()) text += ", ";
            text += name;
        }
        if (arg.takes_value()) text += " VAR";
        return text;
    }

    Argument* find(std::string_view name) const {
        auto it = index_.find(name);
        return it == index_.end() ? nullptr : it->second;
    }

    const Argument& find_declared(std::string_view name) const {
        const Argument* arg = find(name);
        if (!arg) throw std::logic_error("argparse: no such option: " + std::string(name));
        return *arg;
    }

    // An element that names one of the options, alone or as "name=value".
    bool is_option(std::string_view element) const {
        if (find(element)) return true;
        const std::size_t eq = element.find('=');
        return eq != std::string_view::npos && find(element.substr(0, eq)) != nullptr;
    }

    static bool parse_number(std::string_view text, double& value) {
        if (!text.empty() && text.front() == '+') {
            text.remove_prefix(1);
            if (!text.empty() && (text.front() == '-' || text.front() == '+')) return false;
        }
        if (text.empty()) return false;
        double parsed = 0.0;
        const char* const end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
        if (ec != std::errc() || ptr != end || !std::isfinite(parsed)) return false;
        value = parsed;
        return true;
    }

    [[noreturn]] static void reject(const std::string& reason) { throw parse_error(reason); }

    void parse(const std::vector<std::string_view>& args) {
        for (Argument& arg : arguments_) arg.used_ = false;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string_view element = args[i];
            std::string_view name = element;
            Argument* arg = find(element);
            bool has_inline = false;
            std::string_view inline_value;
            if (!arg) {
                const std::size_t eq = element.find('=');
                if (eq != std::string_view::npos && (arg = find(element.substr(0, eq))) != nullptr) {
                    name = element.substr(0, eq);
                    inline_value = element.substr(eq + 1);
                    has_inline = true;
                }
            }
            if (!arg) {
                if (element.size() > 1 && element.front() == '-') {
                    reject("Unknown argument: " + std::string(element));
                }
                reject("Unexpected positional argument: '" + std::string(element) + "'");
            }
            if (!arg->takes_value() && has_inline) {
                reject("Option " + std::string(name) + " takes no value");
            }
            arg->used_ = true;
            switch (arg->kind_) {
            case Argument::Kind::flag:
                break;
            case Argument::Kind::show_help:
                *out_ << help();
                finish_default_argument();
                return;
            case Argument::Kind::show_version:
                *out_ << version_ << '\n';
                finish_default_argument();
                return;
            case Argument::Kind::text:
            case Argument::Kind::number: {
                std::string_view value;
                if (has_inline) {
                    value = inline_value;
                } else if (i + 1 < args.size() && !is_option(args[i + 1])) {
                    value = args[++i];
                } else {
                    reject("Missing value for option " + std::string(name));
                }
                if (arg->kind_ == Argument::Kind::number) {
                    double number = 0.0;
                    if (!parse_number(value, number)) {
                        reject("Invalid number for option " + std::string(name) + ": '" +
                               std::string(value) + "'");
                    }
                    if (arg->number_target_) *arg->number_target_ = number;
                } else if (arg->text_target_) {
                    arg->text_target_->assign(value);
                }
                break;
            }
            }
        }
    }

    void finish_default_argument() {
        out_->flush();
        if (exit_on_default_arguments_) std::exit(0);
    }

    std::string program_name_;
    std::string version_;
    std::string description_;
    std::string epilog_;
    bool exit_on_default_arguments_;
    std::ostream* out_;
    std::list<Argument> arguments_;  // stable addresses for index_
    std::map<std::string, Argument*, std::less<>> index_;
};

inline std::ostream& operator<<(std::ostream& os, const ArgumentParser& parser) {
    return os << parser.help();
}

}  // namespace argparse

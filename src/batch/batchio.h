#pragma once

#include <array>
#include <cstdio>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "state/report.h"
#include "state/table.h"

namespace davrenta {

using nlohmann::ordered_json;

// One subcommand of davrenta-batch: its options live in the closure, which runs the study once
// the command line is parsed and returns the exit status.
struct BatchCommand {
    CLI::App* command = nullptr;
    std::function<int(std::ostream& out, std::ostream& err)> run;
};

// The exit statuses, the same in every subcommand (the README and the manual page show this
// table):
//   0  done: the results were printed.
//   2  usage error: an unknown study or option, a missing or empty FILE, an empty option
//      value, a value that is not a number or lies out of its range; the message and the
//      usage text on stderr.
//   3  a file that cannot be read or written: the problem file, the --save file, or standard
//      output itself; the message on stderr names it, and stdout carries nothing.
//   4  no result: the study refused the problem, the computation failed, or a figure of the
//      result is not a finite number; the message on stderr, and under --json
//      {"error": message} on stdout.
//   130, 143  stopped by Ctrl-C or SIGTERM during a run (interrupt.h): nothing printed or saved.
inline constexpr int kExitDone = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnreadable = 3;
inline constexpr int kExitNoResult = 4;

// Option values are checked as the command line is parsed, so that a bad one is a usage error
// before any file is read. Every subcommand takes its FILE, --save and --json through these.
// A value that may not be empty (FILE, --save OUT).
CLI::Validator NotEmpty();
// A whole number from low to high, in digits with an optional sign ("3", "+3", "003"; not
// "3.0" or "3e0"), handed on in its plain form.
CLI::Validator WholeFrom(double low, double high);
// A number from low to high ("0.25", ".5", "1E-3"), strictly: nothing but the number; handed on
// as the shortest text that reads back the same ("0.001").
CLI::Validator NumberFrom(double low, double high);
// A seed: digits only, from 0 to 18446744073709551615.
CLI::Validator SeedValue();
// A time limit: a number of seconds above 0 (a search's --time-limit).
CLI::Validator SecondsAboveZero();
// Map cells "LINE,COL LINE,COL ...": whole numbers, lines 1 to 50 and columns 1 to 60, cells
// apart by blanks, at most `most` of them; handed on as "L,C L,C".
CLI::Validator MapCellsValue(int most);
// The cells of a text MapCellsValue accepts, in its order; none for any other text.
std::optional<std::vector<std::pair<int, int>>> ParseMapCells(std::string_view text);

// FILE, required and not empty.
CLI::Option* AddFileArgument(CLI::App* command, std::string& file, const std::string& description);
// --save OUT, not empty.
template <typename Target>
CLI::Option* AddSaveOption(CLI::App* command, Target& out, const std::string& description) {
    return command->add_option("--save", out, description)->type_name("OUT")->check(NotEmpty());
}
// --json.
CLI::Option* AddJsonFlag(CLI::App* command, bool& json);

// Study data keep one byte per cell or character. In JSON every byte becomes the character of
// the same code (Latin-1), so any byte sequence gives valid JSON that reads back to the same
// bytes.
ordered_json JsonText(std::string_view bytes);
ordered_json JsonLines(const std::vector<std::string>& lines);
ordered_json JsonReport(const Report& report);

template <std::size_t N>
ordered_json JsonRows(const std::vector<std::array<std::string, N>>& rows) {
    ordered_json out = ordered_json::array();
    for (const auto& row : rows) {
        ordered_json r = ordered_json::array();
        for (const auto& cell : row)
            r.push_back(JsonText(cell));
        out.push_back(std::move(r));
    }
    return out;
}

// Slots 1..count of a table; texts as JsonText.
template <typename T, std::size_t N> ordered_json JsonSlots(const Table1<T, N>& table, int count) {
    ordered_json out = ordered_json::array();
    for (int k = 1; k <= count; ++k) {
        if constexpr (std::is_same_v<T, std::string>)
            out.push_back(JsonText(table[static_cast<std::size_t>(k)]));
        else
            out.push_back(table[static_cast<std::size_t>(k)]);
    }
    return out;
}

// The object as text; cannot throw.
std::string DumpJson(const ordered_json& j);

// Labels carry the program's line break (CR); a terminal wants a new line.
std::string ForTerminal(std::string text);

// A text for a terminal: control bytes other than the line end shown escaped.
std::string SafeForTerminal(std::string_view text);

// A window's grid rows as a terminal shows them: each cell padded to 16 columns (at least one
// blank after it), trailing blanks dropped.
template <std::size_t N>
void PrintRows(std::ostream& out, const std::vector<std::array<std::string, N>>& rows) {
    for (const auto& row : rows) {
        std::string line;
        for (const auto& cell : row) {
            line += cell;
            line.append(cell.size() < 16 ? 16 - cell.size() : 1, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out << SafeForTerminal(line) << '\n';
    }
}

// "== Report: title ==" and the report's lines.
void PrintReport(std::ostream& out, const std::string& title, const Report& report);

// A usage error found after parsing: the message and the subcommand's usage text, exit 2.
int UsageError(const CLI::App* command, std::ostream& err, const std::string& message);

// A file that cannot be read or saved: its message on stderr, exit 3.
int Unreadable(std::ostream& err, const std::string& message);

// No result: the message on stderr, and under --json {"error": message} on stdout; exit 4.
int NoResult(bool json, std::ostream& out, std::ostream& err, const std::string& message);

// The last guard of every subcommand, run on the object that holds its results in either mode:
// a number in it that is not finite (which JSON could only show as null, and text as "inf")
// makes the run no result, with a message naming the figure. Under --json a sound object is
// printed and the run is done; in text mode nullopt lets the caller print its text.
std::optional<int> CheckedResult(bool json, std::ostream& out, std::ostream& err,
                                 const ordered_json& result);

// Where the name of the first number of `result` that is not finite ("Improve.Steps[2].
// ActivityTotal"); nullopt when every number is finite.
std::optional<std::string> NonFiniteFigure(const ordered_json& result);

// Hands a run's output to `to` (stdout): the results of a run that is done, or the
// {"error": ...} of one with no result; nothing after a usage or file error. A failed or short
// write or flush is a failure too: a message on err and exit 3 for a run that was done.
int DeliverOutput(std::FILE* to, std::ostream& err, const std::string& output, int status);

} // namespace davrenta

#pragma once

#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
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

// Exit statuses shared by every subcommand.
inline constexpr int kExitDone = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnreadable = 3;
inline constexpr int kExitNoResult = 4;

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

// A file that cannot be read: its message on stderr, exit 3.
int Unreadable(std::ostream& err, const std::string& message);

// No result: the message on stderr, and under --json {"error": message} on stdout; exit 4.
int NoResult(bool json, std::ostream& out, std::ostream& err, const std::string& message);

} // namespace davrenta

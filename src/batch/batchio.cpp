#include "batch/batchio.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "popmap/model.h"
#include "state/figures.h"
#include "state/messagetext.h"
#include "state/numbers.h"
#include "state/records.h"
#include "state/report.h"

namespace davrenta {

ordered_json JsonText(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

ordered_json JsonLines(const std::vector<std::string>& lines) {
    ordered_json out = ordered_json::array();
    for (const auto& line : lines)
        out.push_back(JsonText(line));
    return out;
}

ordered_json JsonReport(const Report& report) {
    return JsonLines(RenderText(report));
}

std::string DumpJson(const ordered_json& j) {
    try {
        // Every text went through JsonText; replacing is a last guard, never a throw.
        return j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    } catch (...) {
        return "{\"error\": \"the result could not be written as JSON\"}";
    }
}

std::string ForTerminal(std::string text) {
    for (char& c : text)
        if (c == '\r')
            c = '\n';
    return text;
}

std::string SafeForTerminal(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 32 && c != '\n' && c != '\t') || c == 127)
            out += QuoteForMessage(std::string_view(&ch, 1));
        else
            out += ch;
    }
    return out;
}

void PrintReport(std::ostream& out, const std::string& title, const Report& report) {
    out << "== Report: " << title << " ==\n";
    for (const auto& line : RenderText(report))
        out << SafeForTerminal(line) << '\n';
    out << '\n';
}

int UsageError(const CLI::App* command, std::ostream& err, const std::string& message) {
    err << "davrenta-batch: " << message << "\n\n" << command->help();
    return kExitUsage;
}

int Unreadable(std::ostream& err, const std::string& message) {
    err << "davrenta-batch: " << message << '\n';
    return kExitUnreadable;
}

namespace {

// A few whole numbers that stand for choices, as --distance 1, 2 or 3.
bool IsChoice(double low, double high) {
    return high - low >= 1 && high - low <= 3;
}

// The range as a message gives it: "1, 2 or 3" for choices, else "2 to 1000000000".
std::string RangeText(double low, double high, bool choices) {
    if (choices) {
        std::string text;
        for (double v = low; v <= high; ++v)
            text += PlainForm(v) + (v + 2 <= high ? ", " : v + 1 <= high ? " or " : "");
        return text;
    }
    return PlainForm(low) + " to " + PlainForm(high);
}

// The value as a number, strictly: blanks around it allowed, nothing else.
std::optional<double> StrictNumber(const std::string& value) {
    if (value.find_first_not_of(" \t") == std::string::npos)
        return std::nullopt;
    const std::optional<double> number = ParseFieldNumber(value);
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    return number;
}

} // namespace

CLI::Validator NotEmpty() {
    return CLI::Validator(
        [](std::string& value) {
            return value.empty() ? std::string("an empty value is not allowed") : std::string();
        },
        "NOT EMPTY");
}

CLI::Validator WholeFrom(double low, double high) {
    const bool choices = IsChoice(low, high);
    return CLI::Validator(
        [low, high, choices](std::string& value) {
            const std::size_t sign = !value.empty() && (value[0] == '+' || value[0] == '-');
            const bool written = value.size() > sign &&
                                 value.find_first_not_of("0123456789", sign) == std::string::npos;
            const std::optional<double> number =
                written ? ParseFieldNumber(value) : std::optional<double>();
            if (!number || *number < low || *number > high)
                return "\"" + QuoteForMessage(value) + "\" is not " +
                       (choices ? "" : "a whole number from ") + RangeText(low, high, choices);
            value = PlainForm(*number);
            return std::string();
        },
        RangeText(low, high, choices));
}

std::optional<std::vector<std::pair<int, int>>> ParseMapCells(std::string_view text) {
    std::vector<std::pair<int, int>> cells;
    std::size_t at = 0;
    // Digits only, at most three of them: no cell lies beyond line 50 or column 60.
    const auto whole = [&](int& value, int most) {
        const std::size_t start = at;
        value = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 4)
            value = 10 * value + (text[at++] - '0');
        return at > start && at - start < 4 && value >= 1 && value <= most;
    };
    const auto blanks = [&] {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
            ++at;
    };
    blanks();
    while (at < text.size()) {
        int line = 0, column = 0;
        if (!whole(line, kMapLines) || at >= text.size() || text[at++] != ',' ||
            !whole(column, kMapColumns))
            return std::nullopt;
        if (at < text.size() && text[at] != ' ' && text[at] != '\t')
            return std::nullopt;
        cells.emplace_back(line, column);
        blanks();
    }
    if (cells.empty())
        return std::nullopt;
    return cells;
}

CLI::Validator MapCellsValue(int most) {
    return CLI::Validator(
        [most](std::string& value) {
            const auto cells = ParseMapCells(value);
            if (!cells)
                return "\"" + QuoteForMessage(value) +
                       "\" is not a list of cells LINE,COL (lines 1 to 50, columns 1 to 60) "
                       "apart by blanks";
            if (static_cast<int>(cells->size()) > most)
                return std::to_string(cells->size()) + " cells are more than the " +
                       std::to_string(most) + " PODs a problem holds";
            value.clear();
            for (const auto& [line, column] : *cells)
                value += (value.empty() ? "" : " ") + std::to_string(line) + "," +
                         std::to_string(column);
            return std::string();
        },
        "LINE,COL ...");
}

CLI::Validator NumberFrom(double low, double high) {
    return CLI::Validator(
        [low, high](std::string& value) {
            const std::optional<double> number = StrictNumber(value);
            if (!number || *number < low || *number > high)
                return "\"" + QuoteForMessage(value) + "\" is not a number from " +
                       RangeText(low, high, false);
            value = RoundTripForm(*number);
            return std::string();
        },
        RangeText(low, high, false));
}

CLI::Validator SecondsAboveZero() {
    return CLI::Validator(
        [](std::string& value) {
            const std::optional<double> seconds = StrictNumber(value);
            if (!seconds || !(*seconds > 0) || !std::isfinite(*seconds))
                return "\"" + QuoteForMessage(value) + "\" is not a number of seconds above 0";
            value = RoundTripForm(*seconds);
            return std::string();
        },
        "seconds above 0");
}

CLI::Validator SeedValue() {
    return CLI::Validator(
        [](std::string& value) {
            std::uint64_t seed = 0;
            const char* end = value.data() + value.size();
            const auto [ptr, ec] = std::from_chars(value.data(), end, seed);
            if (value.empty() || ec != std::errc() || ptr != end)
                return "\"" + QuoteForMessage(value) +
                       "\" is not a whole number from 0 to 18446744073709551615";
            return std::string();
        },
        "0 to 18446744073709551615");
}

CLI::Option* AddFileArgument(CLI::App* command, std::string& file, const std::string& description) {
    return command->add_option("FILE", file, description)->required()->check(NotEmpty());
}

CLI::Option* AddJsonFlag(CLI::App* command, bool& json) {
    return command->add_flag("--json", json, "Print one JSON object instead of text");
}

int NoResult(bool json, std::ostream& out, std::ostream& err, const std::string& message) {
    err << "davrenta-batch: " << message << '\n';
    if (json)
        out << DumpJson(ordered_json{{"error", JsonText(message)}}) << '\n';
    return kExitNoResult;
}

} // namespace davrenta

namespace davrenta {

namespace {

void FindNonFinite(const ordered_json& value, const std::string& path,
                   std::optional<std::string>& found) {
    if (found)
        return;
    if (value.is_number_float()) {
        if (!std::isfinite(value.get<double>()))
            found = path;
    } else if (value.is_object()) {
        for (const auto& [key, item] : value.items())
            FindNonFinite(item, path.empty() ? key : path + "." + key, found);
    } else if (value.is_array()) {
        for (std::size_t k = 0; k < value.size(); ++k)
            FindNonFinite(value[k], path + "[" + std::to_string(k) + "]", found);
    }
}

} // namespace

std::optional<std::string> NonFiniteFigure(const ordered_json& result) {
    std::optional<std::string> found;
    FindNonFinite(result, "", found);
    return found;
}

std::optional<int> CheckedResult(bool json, std::ostream& out, std::ostream& err,
                                 const ordered_json& result) {
    if (const std::optional<std::string> figure = NonFiniteFigure(result))
        return NoResult(json, out, err,
                        TooLargeToCompute("results", QuoteForMessage(*figure, 80),
                                          "Use smaller values in the problem file.")
                            .message);
    if (!json)
        return std::nullopt;
    out << DumpJson(result) << '\n';
    return kExitDone;
}

int DeliverOutput(std::FILE* to, std::ostream& err, const std::string& output, int status) {
    if (status != kExitDone && status != kExitNoResult)
        return status;
    int reason = 0;
    if (std::fwrite(output.data(), 1, output.size(), to) != output.size())
        reason = errno != 0 ? errno : EIO;
    if (std::fflush(to) != 0 && reason == 0)
        reason = errno != 0 ? errno : EIO;
    if (reason == 0 && std::ferror(to))
        reason = EIO;
    if (reason == 0)
        return status;
    err << "davrenta-batch: the results could not be written to standard output"
        << ": " << std::strerror(reason) << '\n';
    return status == kExitDone ? kExitUnreadable : status;
}

} // namespace davrenta

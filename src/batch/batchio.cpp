#include "batch/batchio.h"

#include "state/messagetext.h"
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

int NoResult(bool json, std::ostream& out, std::ostream& err, const std::string& message) {
    err << "davrenta-batch: " << message << '\n';
    if (json)
        out << DumpJson(ordered_json{{"error", JsonText(message)}}) << '\n';
    return kExitNoResult;
}

} // namespace davrenta

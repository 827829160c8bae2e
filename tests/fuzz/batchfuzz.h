#pragma once

// What every end-to-end fuzz target of davrenta-batch shares: files of its own, a subcommand run
// from its command line as a user types it, and the checks of the output rules every subcommand
// keeps. A broken rule aborts with a line on stderr saying which, so that a finding says why.

#include <unistd.h>

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "batch/batchio.h"

namespace davrenta::fuzz {

[[noreturn]] inline void Broken(const char* rule) {
    std::fprintf(stderr, "broken: %s\n", rule);
    std::abort();
}

inline void Require(bool holds, const char* rule) {
    if (!holds)
        Broken(rule);
}

// Four files of the run's own in the temporary folder ($TMPDIR, else /tmp; a folder in memory
// keeps the saves' syncs cheap), removed when the run ends: 0 the problem, 1 and 2 the saves of
// the text and the JSON run, 3 the save of the run on the saved problem.
inline const std::string& FilePath(std::size_t slot) {
    static const std::array<std::string, 4> paths = [] {
        std::array<std::string, 4> made;
        const char* dir = std::getenv("TMPDIR");
        for (std::string& path : made) {
            std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/davrenta-fuzz-XXXXXX";
            const int fd = ::mkstemp(pattern.data());
            if (fd < 0)
                Broken("no temporary file");
            ::close(fd);
            path = pattern;
        }
        return made;
    }();
    // Registered once the paths are built, so that it runs before they are destroyed.
    static const bool removedAtExit = [] {
        return std::atexit([] {
                   for (const std::string& path : paths)
                       std::remove(path.c_str());
               }) == 0;
    }();
    (void)removedAtExit;
    return paths.at(slot);
}

inline const std::string& ProblemPath() {
    return FilePath(0);
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f)
        Broken("cannot write the problem file");
}

// The file's bytes, nullopt when there is no file.
inline std::optional<std::string> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The problem file holding `bytes`, and no saved file yet.
inline void PrepareFiles(std::string_view bytes) {
    WriteBytes(ProblemPath(), bytes);
    for (std::size_t slot : {1, 2, 3})
        std::remove(FilePath(slot).c_str());
}

struct Run {
    int status = -1;
    std::string out, err;
};

// The subcommand that `add` puts on a fresh command line, run with args (its name first).
template <typename AddCommand>
Run RunCommand(AddCommand add, const std::vector<std::string>& args) {
    CLI::App app;
    const BatchCommand command = add(app);
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError&) {
        Broken("the target built a command line the subcommand refuses");
    }
    std::ostringstream out, err;
    Run run;
    run.status = command.run(out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

// What a terminal is shown: no control bytes but the line end and tab.
inline bool TerminalSafe(std::string_view text) {
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 32 && c != '\n' && c != '\t') || c == 127)
            return false;
    }
    return true;
}

// A message quotes at most a short prefix of a bad value, whatever the file holds.
inline constexpr std::size_t kMaxMessageBytes = 2048;

// The rules for one run in either mode, and for the pair of them: an exit status of the table,
// a failure that says why in a short message fit for a terminal, the same outcome with and
// without --json, results printed when done and nothing printed after a file error.
inline void CheckRuns(const Run& text, const Run& json) {
    for (const Run* r : {&text, &json}) {
        Require(r->status == kExitDone || r->status == kExitUsage || r->status == kExitUnreadable ||
                    r->status == kExitNoResult,
                "an exit status outside the table");
        Require(r->status == kExitDone || !r->err.empty(), "a failure without a word");
        Require(r->err.size() <= kMaxMessageBytes, "a message echoing the file");
        Require(TerminalSafe(r->err), "raw bytes in a message");
        Require(r->status == kExitDone || r->status == kExitNoResult || r->out.empty(),
                "output after a usage or file error");
    }
    Require(TerminalSafe(text.out), "raw bytes in the text output");
    Require(text.status == json.status, "--json changed the outcome");
    Require(text.status != kExitDone || !text.out.empty(), "done without results");
    Require(text.status != kExitNoResult || text.out.empty(), "text results of a failed run");
}

// What the text and the JSON run saved (in files 1 and 2): nothing after a run that is not
// done, the same bytes from both after one that is.
inline std::optional<std::string> SavedByBoth(const Run& text) {
    const std::optional<std::string> saved = ReadBytes(FilePath(1));
    const std::optional<std::string> other = ReadBytes(FilePath(2));
    if (text.status != kExitDone) {
        Require(!saved && !other, "a run with no result saved the problem");
        return std::nullopt;
    }
    Require(saved && saved == other, "the two runs saved different files");
    return saved;
}

// Every number of the object finite, and null only under the keys named (figures a window shows
// as "n/a").
inline void CheckFigures(const nlohmann::json& j, std::initializer_list<std::string_view> nullable,
                         std::string_view key = {}) {
    if (j.is_number_float())
        Require(std::isfinite(j.get<double>()), "a figure that is not finite");
    if (j.is_null()) {
        bool allowed = false;
        for (std::string_view k : nullable)
            allowed = allowed || k == key;
        Require(allowed, "a figure shown as null");
    }
    if (j.is_object())
        for (const auto& [k, v] : j.items())
            CheckFigures(v, nullable, k);
    if (j.is_array())
        for (const auto& v : j)
            CheckFigures(v, nullable, key);
}

// The JSON of a run: it parses, texts kept byte for byte (no replacement character), an error
// object after a failure; null when the run printed no JSON.
inline nlohmann::json ParsedJson(const Run& json) {
    if (json.status != kExitDone && json.status != kExitNoResult)
        return nullptr;
    nlohmann::json j;
    try {
        j = nlohmann::json::parse(json.out);
    } catch (const nlohmann::json::exception&) {
        Broken("JSON output that does not parse");
    }
    Require(json.out.find("\xEF\xBF\xBD") == std::string::npos, "a text replaced in the JSON");
    Require(j.is_object(), "JSON output that is not one object");
    if (json.status == kExitNoResult)
        Require(j.size() == 1 && j.contains("error") && j["error"].is_string(),
                "a failure whose JSON is not {\"error\": message}");
    return j;
}

// Whether a text holds a word a failed number conversion leaves ("inf", "nan", "infinity", in
// any case). Only for output whose words are all the program's own.
inline bool HasNonFiniteWord(std::string_view text) {
    std::string word;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        if (std::isalpha(static_cast<unsigned char>(c))) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            continue;
        }
        if (word == "inf" || word == "nan" || word == "infinity")
            return true;
        word.clear();
    }
    return false;
}

inline bool MentionsNonFinite(std::string_view userText) {
    std::string lower;
    for (const char c : userText)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("inf") != std::string::npos || lower.find("nan") != std::string::npos;
}

} // namespace davrenta::fuzz

// davrenta-batch popmap end to end on any file bytes: the command line as a user types it, the
// text output and the JSON output. The first byte picks the options, the rest is the .fl file.
// Whatever the file holds, the exit status is 0, 3 or 4, a failure says why on stderr in a short
// message, no raw control byte reaches the terminal, the JSON parses back with no text replaced,
// and a result names a real cell of the map.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "app/modulestate.h"
#include "batch/popmapbatch.h"
#include "popmap/mapfile.h"

namespace {

// Searches grow with the square of the cells; larger maps would make each run slow.
constexpr int kMaxCells = 30;

// A message quotes at most a short prefix of a bad value, whatever the file holds.
constexpr std::size_t kMaxMessageBytes = 2048;

const std::string& ProblemPath() {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/davrenta-fuzz-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int fd = mkstemp(name.data());
        if (fd < 0)
            std::abort();
        close(fd);
        return std::string(name.data());
    }();
    // Registered once the path is built, so that it runs before the path is destroyed.
    static const bool removedAtExit = [] {
        return std::atexit([] { std::remove(path.c_str()); }) == 0;
    }();
    (void)removedAtExit;
    return path;
}

struct Run {
    int status = -1;
    std::string out, err;
};

Run RunBatch(const std::vector<std::string>& args) {
    CLI::App app;
    const davrenta::BatchCommand command = davrenta::AddPopMapCommand(app);
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    Run run;
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError&) {
        std::abort(); // the options below are all valid
    }
    std::ostringstream out, err;
    run.status = command.run(out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

// What a terminal is shown: no control bytes but the line end and tab.
bool TerminalSafe(std::string_view text) {
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 32 && c != '\n' && c != '\t') || c == 127)
            return false;
    }
    return true;
}

bool IsCell(const davrenta::PopMap& fl, int line, int column) {
    return line >= 1 && line <= davrenta::LastMapLine(fl) && column >= 1 &&
           column <= davrenta::CellsInLine(fl, line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned pick = data[0];
    const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);

    // Only small maps: the parse also tells which cells a result may name.
    davrenta::ModuleState parsed;
    davrenta::ResetPodSymbols(parsed.fl);
    const bool readable = davrenta::ParseMapProblem(file, parsed.fl).ok();
    if (readable) {
        int cells = 0;
        for (int i = 1; i <= davrenta::LastMapLine(parsed.fl); ++i)
            cells += davrenta::CellsInLine(parsed.fl, i);
        if (cells > kMaxCells)
            return 0;
    }
    {
        std::ofstream f(ProblemPath(), std::ios::binary | std::ios::trunc);
        f.write(file.data(), static_cast<std::streamsize>(file.size()));
        if (!f)
            std::abort();
    }

    const int pods = 1 + static_cast<int>(pick & 1);
    const int measure = 1 + static_cast<int>((pick >> 1) & 3) % 3;
    const int distance = 1 + static_cast<int>((pick >> 3) & 3) % 3;
    std::vector<std::string> args = {
        "popmap",    ProblemPath(),           "--pods",     std::to_string(pods),
        "--measure", std::to_string(measure), "--distance", std::to_string(distance)};
    if (pods == 1 && (pick & 0x20)) {
        static const char* const bounds[] = {"0", "0.1", "0.5", "1"};
        args.insert(args.end(), {"--near-optimal", bounds[(pick >> 6) & 3]});
    }

    const Run text = RunBatch(args);
    args.push_back("--json");
    const Run json = RunBatch(args);

    for (const Run* r : {&text, &json}) {
        if (r->status != 0 && r->status != 3 && r->status != 4)
            std::abort();
        if (r->status != 0 && r->err.empty())
            std::abort(); // a failure without a word
        if (r->err.size() > kMaxMessageBytes)
            std::abort(); // a message echoing the file
        if (!TerminalSafe(r->err) || (r != &json && !TerminalSafe(r->out)))
            std::abort(); // raw bytes reaching the terminal
    }
    if (text.status != json.status)
        std::abort(); // --json changed the outcome
    if (readable != (text.status != 3))
        std::abort(); // the batch and the reader disagree on the file
    if (text.status == 0 && text.out.empty())
        std::abort();

    if (json.status == 3)
        return 0;
    const nlohmann::json j = nlohmann::json::parse(json.out); // throws, and so fails, if invalid
    if (json.out.find("\xEF\xBF\xBD") != std::string::npos)
        std::abort(); // a text that was not encoded byte for byte, replaced on output
    if (json.status == 4) {
        if (!j.contains("error") || !j["error"].is_string())
            std::abort();
        return 0;
    }
    const auto cell = [&](const char* line, const char* column) {
        if (!IsCell(parsed.fl, j.at(line).get<int>(), j.at(column).get<int>()))
            std::abort(); // a result made of no cell
    };
    if (pods == 1) {
        cell("NewPodLine", "NewPodColumn");
    } else {
        cell("NewPod1Line", "NewPod1Column");
        cell("NewPod2Line", "NewPod2Column");
    }
    for (const char* figure : {"BestTravel", "BestMaxDistance", "BestServed", "TotalPopulation"})
        if (!j.at(figure).is_number())
            std::abort(); // a figure that is not finite prints as null
    return 0;
}

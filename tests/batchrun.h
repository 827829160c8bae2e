#pragma once

// Runs davrenta-batch as a user would, from the tests of every study.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace davrenta::testing {

struct BatchRun {
    int status = -1; // the exit status; -1 when the runner did not exit normally
    std::string out;
    std::string err; // only with Errors::Apart
};

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What becomes of the runner's stderr: merged into out, dropped, or kept apart in err.
enum class Errors { Merged, Dropped, Apart };

// davrenta-batch with the arguments as a shell would split them.
inline BatchRun Batch(const std::string& args, Errors errors = Errors::Merged) {
    std::string errPath;
    if (errors == Errors::Apart) {
        char name[] = "/tmp/davrenta-batch-err-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0)
            return {};
        ::close(fd);
        errPath = name;
    }
    const std::string redirect = errors == Errors::Merged    ? " 2>&1"
                                 : errors == Errors::Dropped ? " 2>/dev/null"
                                                             : " 2>" + errPath;
    BatchRun run;
    FILE* pipe = ::popen((std::string(DAVRENTA_BATCH_PATH) + " " + args + redirect).c_str(), "r");
    if (pipe) {
        std::array<char, 4096> buffer;
        std::size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            run.out.append(buffer.data(), n);
        const int raw = ::pclose(pipe);
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    if (!errPath.empty()) {
        run.err = Slurp(errPath);
        std::remove(errPath.c_str());
    }
    return run;
}

// A shipped example's path.
inline std::string Example(const std::string& name) {
    return std::string(DAVRENTA_EXAMPLES_DIR) + "/" + name;
}

} // namespace davrenta::testing

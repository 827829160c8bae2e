// The exit statuses and output rules of davrenta-batch, the same in every subcommand, through
// the program itself.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "batchrun.h"

namespace davrenta {
namespace {

using testing::Batch;
using testing::BatchRun;
using testing::Errors;
using testing::Example;

namespace fs = std::filesystem;

// Each subcommand with a problem it answers and the options it needs.
struct Study {
    const char* name;
    std::string file;
    std::string options;
};

const std::vector<Study>& Studies() {
    static const std::vector<Study> studies = {
        {"popmap", Example("small-town.fl"), "--pods 1 --measure 1 --distance 1"},
        {"sfloc", Example("rural-clinic.sf"), ""},
        {"sitematch", Example("tied-sites.sm"), "--max-sites 1"},
        {"mhact", Example("mezzanine.mh"), "--distance 1"},
        {"mhsim", Example("clinic-desk.mhs"), "--option 1 --seed 3 --cycles 20"},
    };
    return studies;
}

BatchRun RunStudy(const Study& s, const std::string& more, Errors errors = Errors::Apart) {
    return Batch(std::string(s.name) + " " + s.file + " " + s.options + " " + more, errors);
}

// A folder of the test's own, removed when it goes.
struct Folder {
    Folder() {
        std::string name = (fs::temp_directory_path() / "davrenta-contract-XXXXXX").string();
        if (::mkdtemp(name.data()))
            dir = name;
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    fs::path dir;
};

TEST(BatchContract, EveryStudyAnswersItsExample) {
    for (const Study& s : Studies()) {
        const BatchRun run = RunStudy(s, "--json");
        EXPECT_EQ(run.status, 0) << s.name << run.err;
        EXPECT_EQ(run.out.find("null,"), std::string::npos) << s.name;
    }
}

TEST(BatchContract, EmptyFileOrOptionValuesAreUsageErrorsWithTheUsageText) {
    for (const Study& s : Studies()) {
        const BatchRun noFile = Batch(std::string(s.name) + " '' " + s.options, Errors::Apart);
        EXPECT_EQ(noFile.status, 2) << s.name << noFile.err;
        EXPECT_NE(noFile.err.find("FILE: an empty value is not allowed"), std::string::npos)
            << s.name << noFile.err;
        // The usage text is the study's own.
        EXPECT_NE(noFile.err.find(std::string("Usage: ")), std::string::npos) << noFile.err;
        EXPECT_NE(noFile.err.find(std::string(s.name) + " [OPTIONS] FILE"), std::string::npos)
            << s.name << noFile.err;
        EXPECT_EQ(noFile.out, "");

        const BatchRun noSave = RunStudy(s, "--save ''");
        EXPECT_EQ(noSave.status, 2) << s.name << noSave.err;
        EXPECT_NE(noSave.err.find("--save: an empty value is not allowed"), std::string::npos)
            << s.name << noSave.err;
    }
}

TEST(BatchContract, OptionValuesOutOfRangeAreUsageErrors) {
    const std::pair<std::string, std::string> cases[] = {
        {"popmap " + Example("small-town.fl") + " --measure 1 --distance 1", "--pods 32"},
        {"popmap " + Example("small-town.fl") + " --pods 1 --distance 1", "--measure 0"},
        {"popmap " + Example("small-town.fl") + " --pods 1 --measure 1", "--distance 2.5"},
        {"popmap " + Example("small-town.fl") + " --pods 1 --measure 1 --distance 1",
         "--near-optimal 1.5"},
        {"sitematch " + Example("tied-sites.sm"), "--max-sites 4"},
        {"mhact " + Example("mezzanine.mh"), "--distance 0"},
        {"mhsim " + Example("clinic-desk.mhs") + " --seed 1", "--option ''"},
        {"mhsim " + Example("clinic-desk.mhs") + " --seed 1", "--option 5"},
        {"mhsim " + Example("clinic-desk.mhs") + " --option 1", "--seed ''"},
        {"mhsim " + Example("clinic-desk.mhs") + " --option 1", "--seed -1"},
        {"mhsim " + Example("clinic-desk.mhs") + " --option 1 --seed 1", "--cycles -5"},
        {"mhsim " + Example("clinic-desk.mhs") + " --option 1 --seed 1", "--cycles 1"},
        {"mhsim " + Example("clinic-desk.mhs") + " --option 1 --seed 1", "--cycles 1e12"},
        {"mhsim " + Example("clinic-desk.mhs") + " --option 1 --seed 1", "--cycles 2.5"},
    };
    for (const auto& [command, option] : cases) {
        const BatchRun run = Batch(command + " " + option, Errors::Apart);
        EXPECT_EQ(run.status, 2) << command << " " << option << "\n" << run.err;
        EXPECT_NE(run.err.find("Usage: "), std::string::npos) << option;
        EXPECT_EQ(run.out, "") << option;
    }
}

TEST(BatchContract, AFailedSaveExitsThreeWithNothingOnStdoutAndKeepsAPipeAPipe) {
    const Folder folder;
    const auto path = [&folder](const std::string& name) { return folder.path(name); };
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    for (const Study& s : Studies()) {
        for (const std::string& target : {path("pipe"), path("missing/out")}) {
            const BatchRun run = RunStudy(s, "--json --save " + target);
            EXPECT_EQ(run.status, 3) << s.name << " " << target << run.err;
            EXPECT_EQ(run.out, "") << s.name;
            EXPECT_NE(run.err.find(target), std::string::npos) << s.name << run.err;
        }
        EXPECT_TRUE(fs::is_fifo(path("pipe"))) << s.name;
    }
    EXPECT_FALSE(fs::exists(path("missing")));
}

TEST(BatchContract, ResultsThatCannotBeWrittenAreAFailure) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    for (const Study& s : Studies())
        for (const char* mode : {"", "--json"}) {
            const BatchRun run = RunStudy(s, std::string(mode) + " > /dev/full");
            EXPECT_EQ(run.status, 3) << s.name << " " << mode;
            EXPECT_NE(run.err.find("could not be written to standard output"), std::string::npos)
                << s.name << run.err;
        }
    EXPECT_NE(Batch("--help > /dev/full", Errors::Dropped).status, 0);
}

// Coordinates near the largest number give a total activity beyond it: no subcommand may show
// it as inf or null.
TEST(BatchContract, AResultWithAFigureBeyondTheLargestNumberIsNoResult) {
    const Folder folder;
    const auto path = [&folder](const std::string& name) { return folder.path(name); };
    std::ofstream(path("far.mh"), std::ios::binary) << " 2 \r\nA, 1e308, 0\r\nB, -1e308, 0\r\n"
                                                       " 0 \r\n 5 \r\n 5 \r\n 0 \r\n";
    const BatchRun json = Batch("mhact " + path("far.mh") + " --distance 1 --json", Errors::Apart);
    EXPECT_EQ(json.status, 4) << json.out;
    EXPECT_EQ(json.out.rfind("{\n  \"error\": \"", 0), 0u) << json.out;
    EXPECT_EQ(json.out.find("null"), std::string::npos);
    const BatchRun text = Batch("mhact " + path("far.mh") + " --distance 1", Errors::Apart);
    EXPECT_EQ(text.status, 4);
    EXPECT_EQ(text.out, "");
    EXPECT_NE(text.err.find("too large"), std::string::npos) << text.err;
}

} // namespace
} // namespace davrenta

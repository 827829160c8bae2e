#include "sfloc/sffile.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/modulestate.h"
#include "state/atomicfile.h"
#include "state/messagetext.h"
#include "state/records.h"

namespace davrenta {

namespace {

class Parser {
  public:
    explicit Parser(std::string_view contents) : reader_(contents) {}

    std::optional<std::string> error;

    std::optional<RecordField> field(const std::string& record, const std::string& what) {
        if (error)
            return std::nullopt;
        auto f = reader_.next();
        if (!f)
            fail(lastLine_, record, "the file ends before the " + what);
        else
            lastLine_ = f->line;
        return f;
    }

    // A finite number, unquoted.
    std::optional<double> number(const std::string& record, const std::string& what) {
        auto f = field(record, what);
        if (!f)
            return std::nullopt;
        auto value = ParseFieldNumber(f->text);
        if (!value || !std::isfinite(*value) || f->quoted) {
            fail(f->line, record,
                 "the " + what + " \"" + QuoteForMessage(f->text) + "\" is not a number");
            return std::nullopt;
        }
        return value;
    }

    // Whatever follows the last facility must be empty.
    void expectEnd(int count) {
        if (error)
            return;
        while (auto f = reader_.next()) {
            if (f->text.empty() && !f->quoted)
                continue;
            fail(f->line, "after facility record " + std::to_string(count),
                 "the file holds more values than the " + std::to_string(count) +
                     " facilities its first record counts (\"" + QuoteForMessage(f->text) + "\")");
            return;
        }
    }

    void fail(int line, const std::string& record, const std::string& problem) {
        if (!error)
            error = "line " + std::to_string(line) + ", " + record + ": " + problem + ".";
    }

  private:
    RecordReader reader_;
    int lastLine_ = 1; // where the file ends, for a value it lacks
};

} // namespace

Result<SfProblem> ParseSfProblem(std::string_view contents) {
    Parser in(contents);
    const std::string countRecord = "count record";
    auto countField = in.field(countRecord, "number of existing facilities");
    if (in.error)
        return Fail(*in.error);
    auto count = ParseFieldNumber(countField->text);
    if (!count || countField->quoted || !std::isfinite(*count) || *count != std::floor(*count) ||
        *count < 0 || *count > kMaxFacilities) {
        in.fail(countField->line, countRecord,
                "the number of existing facilities \"" + QuoteForMessage(countField->text) +
                    "\" is not a whole number from 0 to " + std::to_string(kMaxFacilities));
        return Fail(*in.error);
    }

    SfProblem p;
    p.count = static_cast<int>(*count);
    for (int i = 1; i <= p.count; ++i) {
        const std::string record = "facility record " + std::to_string(i);
        const std::string of = " of facility " + std::to_string(i);
        auto x = in.number(record, "x coordinate" + of);
        auto y = in.number(record, "y coordinate" + of);
        auto w = in.number(record, "weight" + of);
        if (in.error)
            return Fail(*in.error);
        p.x.push_back(*x);
        p.y.push_back(*y);
        p.weight.push_back(*w);
    }
    in.expectEnd(p.count);
    if (in.error)
        return Fail(*in.error);
    return p;
}

void ApplySfProblem(const SfProblem& problem, SingleFacilityState& sf) {
    sf.ExistingFacilityCount = problem.count;
    for (int i = 1; i <= problem.count; ++i) {
        const auto k = static_cast<std::size_t>(i);
        sf.FacilityX[k] = problem.x[k - 1];
        sf.FacilityY[k] = problem.y[k - 1];
        sf.FacilityWeight[k] = problem.weight[k - 1];
    }
}

Status ReadSfFile(ModuleState& state) {
    auto contents = ReadProblemFile(state.ProblemFileName);
    if (!contents)
        return Fail(contents.message() + " The current problem is unchanged.");
    auto problem = ParseSfProblem(*contents);
    if (!problem)
        return Fail("The file " + state.ProblemFileName + " cannot be read: " + problem.message() +
                    " The current problem is unchanged.");
    ApplySfProblem(*problem, state.sf);
    return {};
}

std::string SfFileContents(const SingleFacilityState& sf) {
    const int n = std::clamp(sf.ExistingFacilityCount, 0, kMaxFacilities);
    RecordWriter out;
    out.number(n).endRecord();
    for (int i = 1; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        out.number(sf.FacilityX[k]).number(sf.FacilityY[k]).number(sf.FacilityWeight[k]);
        out.endRecord();
    }
    return out.contents();
}

Status WriteSfFile(const ModuleState& state) {
    if (state.ProblemFileName.empty())
        return {};
    return SaveProblemFile(state.ProblemFileName, SfFileContents(state.sf));
}

} // namespace davrenta

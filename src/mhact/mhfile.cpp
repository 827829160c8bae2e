#include "mhact/mhfile.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "app/modulestate.h"
#include "state/atomicfile.h"
#include "state/messagetext.h"
#include "state/numbers.h"
#include "state/records.h"

namespace davrenta {

namespace {

constexpr std::size_t kZone = 14;

// A number as files print it: a blank (or "-"), the shortest text that reads back the same,
// and one blank.
std::string FreeNumber(double value) {
    const std::string digits = RoundTripForm(value);
    return (digits[0] == '-' ? "" : " ") + digits + " ";
}

} // namespace

Status ParseMhProblem(std::string_view contents, MhActivityState& mh) {
    RecordParser in(contents);
    const std::string countRecord = "department count";
    auto count = in.whole(countRecord, "number of departments", 1, kMaxDepartments);
    if (!count)
        return Fail(*in.error);
    const int n = *count;
    MhActivityState read = mh;
    for (int i = 1; i <= n; ++i) {
        const std::string record = "department " + std::to_string(i);
        auto name = in.field(record, "name of department " + std::to_string(i));
        if (!name)
            return Fail(*in.error);
        auto x = in.number(record, "X of department " + std::to_string(i));
        if (!x)
            return Fail(*in.error);
        auto y = in.number(record, "Y of department " + std::to_string(i));
        if (!y)
            return Fail(*in.error);
        read.DeptName[i] = name->text;
        read.DeptX[i] = *x;
        read.DeptY[i] = *y;
    }
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            const std::string what =
                "moves from department " + std::to_string(i) + " to " + std::to_string(j);
            auto moves =
                in.number("move count " + std::to_string(i) + "," + std::to_string(j), what);
            if (!moves)
                return Fail(*in.error);
            read.MoveCount(i, j) = *moves;
        }
    in.expectEnd("move count " + std::to_string(n) + "," + std::to_string(n),
                 "the " + std::to_string(n) + " departments and " + std::to_string(n * n) +
                     " move counts it declares");
    if (in.error)
        return Fail(*in.error);

    // Nothing of an earlier problem stays beside the one read.
    for (int i = n + 1; i <= kDeptSlots; ++i) {
        read.DeptName[i].clear();
        read.DeptX[i] = 0;
        read.DeptY[i] = 0;
    }
    for (int i = 1; i <= kDeptSlots; ++i)
        for (int j = 1; j <= kDeptSlots; ++j)
            if (i > n || j > n)
                read.MoveCount(i, j) = 0;
    read.DeptCount = n;
    mh = read;
    return {};
}

Status ReadMhFile(ModuleState& state) {
    if (state.ProblemFileName.empty())
        return {};
    return LoadProblemFile(state.ProblemFileName, [&state](std::string_view contents) {
        return ParseMhProblem(contents, state.mh);
    });
}

std::string DepartmentLine(const std::string& name, double x, double y) {
    std::string line;
    std::size_t zone = 0; // the zone the last field started in
    bool first = true;
    for (const std::string& field :
         {name, std::string(","), FreeNumber(x), std::string(","), FreeNumber(y)}) {
        if (!first) {
            zone = std::max(zone + 1, (line.size() + kZone - 1) / kZone);
            line.append(zone * kZone - line.size(), ' ');
        }
        first = false;
        line += field;
    }
    return line;
}

Result<std::string> MhFileContents(const MhActivityState& mh) {
    const int n = std::clamp(mh.DeptCount, 0, kMaxDepartments);
    for (int i = 1; i <= n; ++i) {
        const std::string& name = mh.DeptName[i];
        const bool edgeBlank = !name.empty() && (name.front() == ' ' || name.front() == '\t' ||
                                                 name.back() == ' ' || name.back() == '\t');
        if (edgeBlank || name.find_first_of(",\"\r\n") != std::string::npos)
            return Fail(
                "The name of department " + std::to_string(i) + " \"" + QuoteForMessage(name) +
                "\" holds a comma, a double quote, a line break or a blank at either end, which a "
                "problem file cannot keep. Change the name and save again.");
    }
    // The reader takes 1 to 15 departments and refuses a number beyond the largest one.
    if (n < 1)
        return Fail("There is no department to save. Enter the departments and save again.");
    const auto beyond = [](const std::string& what) {
        return Fail("The " + what +
                    " goes beyond the largest number, which a problem file cannot keep. The "
                    "problem is not saved.");
    };
    for (int i = 1; i <= n; ++i)
        if (!std::isfinite(mh.DeptX[i]) || !std::isfinite(mh.DeptY[i]))
            return beyond("location of department " + std::to_string(i));
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            if (!std::isfinite(mh.MoveCount(i, j)))
                return beyond("number of moves from department " + std::to_string(i) + " to " +
                              std::to_string(j));
    std::string out = FreeNumber(n) + "\r\n";
    for (int i = 1; i <= n; ++i)
        out += DepartmentLine(mh.DeptName[i], mh.DeptX[i], mh.DeptY[i]) + "\r\n";
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            out += FreeNumber(mh.MoveCount(i, j)) + "\r\n";
    return out;
}

Status WriteMhFile(const ModuleState& state) {
    if (state.ProblemFileName.empty())
        return {};
    auto contents = MhFileContents(state.mh);
    if (!contents)
        return contents.failure();
    return SaveProblemFile(state.ProblemFileName, *contents);
}

} // namespace davrenta

#pragma once

#include <string>
#include <string_view>

#include "sitematch/model.h"
#include "state/result.h"

namespace davrenta {

// Reads a matching problem from a file's contents: m and s, then per facility its s times and
// its demand, in any spread over lines. The whole file is checked first; on any fault sm is
// left exactly as it was and the reason names the line and the value.
Status ParseSiteMatchProblem(std::string_view contents, SiteMatchState& sm);

// Reads the problem file at path into sm; the message names the file. The problem stays as it
// was on any failure.
Status ReadSiteMatchFile(const std::string& path, SiteMatchState& sm);

// The file's text for the problem: "m,s", then one value a line, CR LF line ends.
std::string SiteMatchFileContents(const SiteMatchState& sm);

// Saves the problem to path in one step; the old file survives any failure.
Status WriteSiteMatchFile(const std::string& path, const SiteMatchState& sm);

} // namespace davrenta

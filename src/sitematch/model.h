#pragma once

namespace davrenta {

// The facilities-to-sites matching study's tables.
struct SiteMatchState {};

} // namespace davrenta

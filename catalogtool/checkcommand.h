#pragma once

namespace kivora::catalogtool {

struct CatalogOptions;

// Asks the download server about every selected title (HEAD, several at once) and lists
// those it lacks and those it did not answer for. Answers the exit status: 0 when the
// server has every title, 1 otherwise, 130 when stopped by Ctrl-C.
int runCheck(const CatalogOptions &options);

} // namespace kivora::catalogtool

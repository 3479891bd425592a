#pragma once

namespace kivora::catalogtool {

struct CatalogOptions;

// Downloads the selected titles that the program directory lacks, a few at once, with a
// progress line on standard output. Answers the exit status: 0 when every selected title
// is present at the end, 1 when any is missing, 130 when stopped by Ctrl-C.
int runFetch(const CatalogOptions &options);

} // namespace kivora::catalogtool

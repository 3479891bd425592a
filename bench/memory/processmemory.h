#pragma once

// Memory as a user feels it: the proportional set size of a process and of every process
// under it (the web engine's among them), in bytes.
long long treePss(int pid);
// How many processes run under pid, at any depth.
int descendantCount(int pid);

#include <QString>

// One line per process of the tree: its command line's start, its PSS and the part of it in
// pages of files (code, fonts), which the system can drop and read again when it needs the
// room; for a reader who wants to know where the memory is.
QString treeBreakdown(int pid);

// A line of the bench's report: the moment, the whole tree's PSS of this process and how many
// processes run under it.
QString memoryRow(const QString &moment, long long bytes);

// The PSS of this process's tree once it has settled: two seconds, then the median of five
// readings half a second apart (the page's memory rises and falls by tens of megabytes as
// its script engine collects).
long long settledTreePss();

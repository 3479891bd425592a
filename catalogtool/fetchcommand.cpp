#include "catalogtool/fetchcommand.h"

#include "catalogtool/catalogoptions.h"
#include "catalogtool/fetchreport.h"
#include "catalogtool/fetchtally.h"
#include "catalogtool/interruptwatch.h"
#include "catalogtool/progresstext.h"
#include "catalogtool/tallysink.h"
#include "catalogtool/titleselection.h"
#include "catalogtool/transferpool.h"

#include "platform/net/curlsupport.h"
#include "platform/net/urldownload.h"
#include "platform/net/stagingarea.h"
#include "platform/net/urldownloadoptions.h"
#include "platform/text/utf.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace kivora::catalogtool {

namespace {

// How many failures the summary names one by one.
constexpr std::size_t listedFailures = 20;

// The folders the selected titles go into; false (with a message) when one cannot be made.
bool makeFolders(const std::vector<TitleFile> &titles, const std::string &programDir)
{
    std::string last;
    for (const auto &title : titles) {
        if (title.folder == last)
            continue;
        last = title.folder;
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::path(programDir) / title.folder;
        std::filesystem::create_directories(folder, error);
        if (error) {
            std::fprintf(stderr, "kivora-catalog: cannot make the folder %s: %s\n", folder.c_str(),
                         error.message().c_str());
            return false;
        }
    }
    return true;
}

std::string titlesText(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " title" : " titles");
}

void printSummary(const FetchReport &report, std::uint64_t bytes, std::size_t present, std::size_t missing)
{
    std::printf("Fetched %s (%s) in %s; %zu already present.\n", titlesText(report.fetched()).c_str(),
                formatBytes(bytes).c_str(),
                formatDuration(std::chrono::duration_cast<std::chrono::seconds>(report.elapsed())).c_str(), present);
    const auto &failures = report.failures();
    if (!failures.empty()) {
        std::printf("%s failed:\n", titlesText(failures.size()).c_str());
        for (std::size_t i = 0; i < failures.size() && i < listedFailures; ++i)
            std::printf("  %s\n", failures[i].c_str());
        if (failures.size() > listedFailures)
            std::printf("  ... and %zu more\n", failures.size() - listedFailures);
    }
    if (missing > 0)
        std::printf("Missing: %s; run the same command again to retry.\n", titlesText(missing).c_str());
}

} // namespace

int runFetch(const CatalogOptions &options)
{
    const std::optional<std::vector<TitleFile>> named = titlesNamedBy(options);
    if (!named)
        return 2;
    const std::vector<TitleFile> &titles = *named;
    // A mistyped directory must not become a new, empty program directory.
    std::error_code error;
    if (!std::filesystem::is_directory(options.programDir, error)) {
        std::fprintf(stderr, "kivora-catalog: no program directory at %s\n", options.programDir.c_str());
        return 2;
    }
    if (!makeFolders(titles, options.programDir))
        return 1;

    std::vector<std::size_t> pending;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        if (!isPresent(titles[i]))
            pending.push_back(i);
    }
    const std::size_t present = titles.size() - pending.size();
    if (pending.empty()) {
        std::printf("All %zu titles are already present.\n", titles.size());
        return 0;
    }

    // Cut-off titles wait in the staging area of the directory being filled, not of the
    // directory this command runs from.
    std::string directory = options.programDir;
    if (directory.back() != '/')
        directory += '/';
    UrlDownloadOptions download;
    download.stagingArea = stagingAreaOf(directory);

    // Before the pool: its threads inherit the blocked interrupts.
    InterruptWatch interrupts;
    FetchTally tally;
    FetchReport report(titles, pending, present, tally);
    report.start();
    TransferPool pool(pending.size(), static_cast<unsigned>(options.jobs), [&](std::size_t item) {
        const TitleFile &title = titles[pending[item]];
        TallySink sink(tally);
        // One handle per thread of the pool: its titles reuse the thread's connection, and
        // no connection is ever used by two threads.
        thread_local CurlEasyHandle handle;
        UrlDownloadOptions options = download;
        options.handle = &handle;
        const HRESULT result = URLDownloadToFile(title.address, title.localPath, &sink, options);
        tally.finish({item, result, sink.received()});
        interrupts.wake();
    }, [&] { interrupts.wake(); });

    // Every title's end wakes the loop; the tick only refreshes the rate on a terminal.
    const auto tick = std::chrono::milliseconds(ProgressLine::isTerminal(stdout) ? 200 : 1000);
    while (!pool.finished()) {
        if (interrupts.wait(tick)) {
            pool.stop();
            report.update();
            report.close();
            const std::size_t missing = countMissing(titles);
            std::printf("Stopped. %zu of %zu titles are present; run the same command again to continue.\n",
                        titles.size() - missing, titles.size());
            std::fflush(stdout);
            std::fflush(stderr);
            // Transfers under way write to files that take their name only when complete,
            // so ending the process here leaves no partial file at any destination.
            std::_Exit(130);
        }
        report.update();
    }
    report.update();
    report.close();

    const std::size_t missing = countMissing(titles);
    printSummary(report, tally.bytes(), present, missing);
    return missing == 0 ? 0 : 1;
}

} // namespace kivora::catalogtool

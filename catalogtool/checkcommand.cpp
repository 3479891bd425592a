#include "catalogtool/checkcommand.h"

#include "catalogtool/catalogoptions.h"
#include "catalogtool/interruptwatch.h"
#include "catalogtool/progressline.h"
#include "catalogtool/titleselection.h"
#include "catalogtool/transferpool.h"

#include "platform/net/httpstatusprobe.h"
#include "platform/net/urldownloadoptions.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kivora::catalogtool {

namespace {

std::string askedText(std::size_t asked, std::size_t total)
{
    return "asked about " + std::to_string(asked) + "/" + std::to_string(total) + " titles";
}

} // namespace

int runCheck(const CatalogOptions &options)
{
    const std::optional<std::vector<TitleFile>> named = titlesNamedBy(options);
    if (!named)
        return 2;
    const std::vector<TitleFile> &titles = *named;

    // Each slot is written by one transfer only and read after the pool has finished.
    std::vector<std::optional<long>> statuses(titles.size());
    std::atomic<std::size_t> asked{0};
    // Before the pool: its threads inherit the blocked interrupts.
    InterruptWatch interrupts;
    ProgressLine line(stdout, ProgressLine::isTerminal(stdout));
    {
        TransferPool pool(titles.size(), static_cast<unsigned>(options.jobs), [&](std::size_t item) {
            HttpStatusProbeOptions probe;
            probe.head = true;
            // As far as a download would go.
            probe.maxRedirects = UrlDownloadOptions{}.maxRedirects;
            statuses[item] = httpStatus(titles[item].address, probe);
            ++asked;
        }, [&] { interrupts.wake(); });
        while (!pool.finished()) {
            if (interrupts.wait(std::chrono::milliseconds(200))) {
                line.close();
                std::printf("Stopped after asking about %zu of %zu titles.\n", asked.load(), titles.size());
                std::fflush(stdout);
                // The questions under way change nothing anywhere: no need to wait for them.
                std::_Exit(130);
            }
            line.refresh(askedText(asked, titles.size()));
        }
    }
    line.close();

    std::size_t missing = 0;
    std::size_t unanswered = 0;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const std::optional<long> &status = statuses[i];
        if (!status) {
            ++unanswered;
            std::printf("no answer: %s\n", titles[i].name.c_str());
        } else if (*status < 200 || *status > 299) {
            ++missing;
            std::printf("missing: %s (HTTP %ld)\n", titles[i].name.c_str(), *status);
        }
    }
    std::printf("Asked about %zu titles: %zu missing on the server", titles.size(), missing);
    if (unanswered > 0)
        std::printf(", %zu without an answer", unanswered);
    std::printf(".\n");
    std::error_code error;
    if (std::filesystem::is_directory(options.programDir, error)) {
        std::printf("%s holds %zu of them.\n", options.programDir.c_str(), titles.size() - countMissing(titles));
    }
    return missing == 0 && unanswered == 0 ? 0 : 1;
}

} // namespace kivora::catalogtool

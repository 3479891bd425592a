// Sorts UTF-8 lines from stdin into descending Chinese (pinyin) collation order and
// prints them; a maintenance helper for the title lists, not part of the program.
// Usage: kivora-pinyinsort [--ignore-case] [--read X=Y]... < titles.txt
//   --read X=Y  compares X as if it were Y, for a polyphonic character whose
//               collator reading is not the one the list uses (泊=博: bó, not pō)
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string withReadings(std::string text, const std::vector<std::pair<std::string, std::string>>& readings)
{
    for (const auto& [from, to] : readings) {
        for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
    }
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    bool ignoreCase = false;
    std::vector<std::pair<std::string, std::string>> readings;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ignore-case") == 0) {
            ignoreCase = true;
        } else if (std::strcmp(argv[i], "--read") == 0 && i + 1 < argc
                   && std::string(argv[i + 1]).find('=') != std::string::npos) {
            const std::string rule = argv[++i];
            const auto eq = rule.find('=');
            readings.emplace_back(rule.substr(0, eq), rule.substr(eq + 1));
        } else {
            std::cerr << "kivora-pinyinsort: unknown option " << argv[i] << "\n";
            return 2;
        }
    }
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale("zh"), status));
    if (U_FAILURE(status)) {
        std::cerr << "kivora-pinyinsort: no Chinese collator: " << u_errorName(status) << "\n";
        return 1;
    }
    if (ignoreCase)
        collator->setStrength(icu::Collator::SECONDARY);

    std::vector<std::string> lines;
    for (std::string line; std::getline(std::cin, line);) {
        if (!line.empty())
            lines.push_back(line);
    }
    std::stable_sort(lines.begin(), lines.end(), [&](const std::string& a, const std::string& b) {
        UErrorCode s = U_ZERO_ERROR;
        return collator->compareUTF8(withReadings(b, readings), withReadings(a, readings), s) == UCOL_LESS;
    });
    for (const auto& line : lines)
        std::cout << line << "\n";
    return 0;
}

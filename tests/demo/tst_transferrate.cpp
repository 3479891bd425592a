#include "tools/demo/transferrate.h"

#include <gtest/gtest.h>

#include <ostream>

namespace kivora::demo {
namespace {

struct RateCase {
    const char *text;
    std::optional<std::uint64_t> expected;
};

void PrintTo(const RateCase &c, std::ostream *out)
{
    *out << '"' << c.text << '"';
}

class TransferRate : public ::testing::TestWithParam<RateCase> {};

TEST_P(TransferRate, Parses)
{
    EXPECT_EQ(parseTransferRate(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, TransferRate,
                         ::testing::Values(RateCase{"200k", 204800}, RateCase{"200K", 204800}, RateCase{"1m", 1048576},
                                           RateCase{"1500", 1500}, RateCase{"0", std::nullopt},
                                           RateCase{"0k", std::nullopt}, RateCase{"", std::nullopt},
                                           RateCase{"k", std::nullopt}, RateCase{"-5k", std::nullopt},
                                           RateCase{"12kb", std::nullopt}, RateCase{"1.5m", std::nullopt},
                                           RateCase{"99999999999999999999", std::nullopt},
                                           RateCase{"18014398509481984k", std::nullopt}));

} // namespace
} // namespace kivora::demo

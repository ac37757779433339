// Metafiles the fuzzer found that our check let through to a converter that then misbehaved.

#include "windows/MetafileCheck.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

using namespace glyphary;

namespace {

struct Finding {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* error;
};

void PrintTo(const Finding& finding, std::ostream* out)
{
    *out << finding.name;
}

class MetafileFindings : public ::testing::TestWithParam<Finding> {};

TEST_P(MetafileFindings, AreRefusedBeforeAnyConverterSeesThem)
{
    const Finding& finding = GetParam();
    const formats::Bytes file(finding.bytes);
    EXPECT_EQ(checkWmf(file).error.toStdString(), finding.error);
}

INSTANTIATE_TEST_SUITE_P(Fuzzed, MetafileFindings, ::testing::Values(
    // A placeable WMF of one end record whose header declares a largest record of 1,667,825,671
    // words: libwmf tried to allocate 3.3 GB for it.
    Finding{"HugeLargestRecord",
        {0xD7, 0xCD, 0xC6, 0x9A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA0, 0x05, 0xA0, 0x05, 0xA0, 0x05, 0x00, 0x00,
         0x00, 0x00, 0xB1, 0x52, 0x01, 0x00, 0x09, 0x00, 0x00, 0x03, 0x23, 0x00, 0x00, 0x00, 0x01, 0x00, 0x07, 0x00,
         0x69, 0x63, 0x6E, 0x73, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1B, 0x04, 0xA0, 0x05, 0xA0, 0x05, 0x00,
         0x00, 0x40, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00},
        "The metafile's header declares a record larger than the file."}),
    [](const ::testing::TestParamInfo<Finding>& info) { return std::string(info.param.name); });

} // namespace

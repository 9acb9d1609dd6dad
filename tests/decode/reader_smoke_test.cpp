// Smoke test of the whole run on a tiny log: the converter reads it to the
// end and reports completion. Thorough reader tests live beside it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "decode/VLX_reader.h"
#include "stores/VLX_msgs.h"
#include "vlxlog/vlx_builder.h"

TEST(ReaderSmoke, EpochTimeSetsTimeTag) {
    std::string log = vlxlog::epoch_time(45296789) + vlxlog::receiver_date(2024, 3, 15);
    FILE* f = fmemopen(log.data(), log.size(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(VLXFileReader(f), "~~");
    EXPECT_EQ(time_tag, 45296789u);
    EXPECT_EQ(VLXFileReader(f), "RD");
    EXPECT_EQ(RD[0] | (RD[1] << 8), 2024);
    EXPECT_EQ(VLXFileReader(f), std::string(2, '\0'));
    std::fclose(f);
}

// Dates in the forms the stores keep them: an RCV_Epoch of year, month,
// day, hour, minute, second and time-system code, all floats, and the
// reception time (Epoch_ms) that dates the ionosphere and time records.
// Writer tests set them by hand; decoder tests check them field by field.
#pragma once

#include <gtest/gtest.h>

#include "decode/Decode_func.h"
#include "stores/VLX_objects.h"

namespace storedate {

// Year, month, day, hour, minute and second (the time-system code left as
// it is).
inline void set_date(RCV_Epoch& e, float y, float mo, float d, float h, float mi, float s) {
    const float v[6] = {y, mo, d, h, mi, s};
    for (int k = EP_YEAR; k <= EP_SEC; ++k) e.v[k] = v[k];
}

// A whole date with its time-system code.
inline void set_epoch(RCV_Epoch& e, float y, float mo, float d, float h, float mi, float s, float sys = TS_GPS) {
    set_date(e, y, mo, d, h, mi, s);
    e.v[EP_SYS] = sys;
}

// Expects the year to second of a date (the time-system code not checked).
inline void expect_date(const float* v, float y, float mo, float d, float h, float mi, float s) {
    EXPECT_EQ(v[EP_YEAR], y);
    EXPECT_EQ(v[EP_MONTH], mo);
    EXPECT_EQ(v[EP_DAY], d);
    EXPECT_EQ(v[EP_HOUR], h);
    EXPECT_EQ(v[EP_MIN], mi);
    EXPECT_EQ(v[EP_SEC], s);
}
inline void expect_date(const RCV_Epoch& e, float y, float mo, float d, float h, float mi, float s) {
    expect_date(e.v, y, mo, d, h, mi, s);
}

// Expects the date and whole second of a reception time.
inline void expect_received(const Epoch_ms& t, int y, int mo, int d, int h, int mi, int s) {
    EXPECT_TRUE(t.dated);
    int got[6];
    reception_date(t, got);
    const int want[6] = {y, mo, d, h, mi, s};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(got[k], want[k]) << "field " << k;
}

}  // namespace storedate

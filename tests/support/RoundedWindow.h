// SPDX-License-Identifier: MIT
// Checks that a window has been given rounded corners of 15 x 15 pixels at the given size.
#pragma once

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "platform/Form.h"
#include "platform/gdi/Region.h"

namespace testing_support {

inline void ExpectRoundedCorners(const platform::Form& form, int width, int height) {
    namespace gdi = platform::gdi;
    ASSERT_TRUE(form.WindowRegion().has_value()) << form.Name() << " has no shape";
    gdi::HRGN expected = gdi::CreateRoundRectRgn(0, 0, width, height, 15, 15);
    const std::vector<gdi::RECT> want = gdi::RegionRects(expected);
    gdi::DeleteObject(expected);
    const std::vector<gdi::RECT>& got = *form.WindowRegion();
    ASSERT_EQ(got.size(), want.size()) << form.Name();
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(std::tie(got[i].left, got[i].top, got[i].right, got[i].bottom),
                  std::tie(want[i].left, want[i].top, want[i].right, want[i].bottom))
            << form.Name() << " row " << i;
    }
}

}  // namespace testing_support

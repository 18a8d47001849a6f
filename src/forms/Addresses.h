// SPDX-License-Identifier: MIT
// The web addresses compiled into the program: the forum opened when the settings name none,
// and the personal home page of the third banner.
#pragma once

namespace core {

inline constexpr char16_t kForumHome[] = u"http://bbs.loomhaven.example";
inline constexpr char16_t kPersonalPage[] = u"http://home.tidewick.example";

}  // namespace core

// SPDX-License-Identifier: MIT
// The web addresses the program opens. The forum's home page is given as a bare host name,
// which the browser completes to an http address.
#pragma once

namespace core {

inline constexpr char16_t kForumHost[] = u"bbs.loomhaven.example";
inline constexpr char16_t kForumHome[] = u"http://bbs.loomhaven.example";
inline constexpr char16_t kForumBoard[] = u"http://bbs.loomhaven.example/forum-2-1.html";
inline constexpr char16_t kPersonalPage[] = u"http://home.tidewick.example";

}  // namespace core

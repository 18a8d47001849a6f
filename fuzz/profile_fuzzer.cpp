// SPDX-License-Identifier: MIT
// Settings files are edited by hand; whatever they hold, reading must not fail, and a value we
// store must read back exactly, with a second identical store changing nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "platform/ProfileText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string section = in.ConsumeRandomLengthString(16);
    const std::string key = in.ConsumeRandomLengthString(16);
    const std::string value = in.ConsumeRandomLengthString(32);
    const std::string content = in.ConsumeRemainingBytesAsString();

    namespace profile = platform::profile;
    (void)profile::Lookup(content, section, key);
    (void)profile::SectionNames(content);
    (void)profile::KeyNames(content, section);

    const std::string s(section.c_str()), k(key.c_str()), v(value.c_str());  // C strings end at NUL
    const auto stored = profile::Store(content, s.c_str(), k.c_str(), v.c_str());
    if (!stored) {
        return 0;
    }
    const auto back = profile::Lookup(*stored, s, k);
    if (!back || *back != v) {
        std::abort();
    }
    const auto again = profile::Store(*stored, s.c_str(), k.c_str(), v.c_str());
    if (!again || *again != *stored) {
        std::abort();
    }
    return 0;
}

# SPDX-License-Identifier: MIT
# The fuzz targets run as tests, each over its seed corpus.
loomhaven_fuzz_test(profile_fuzzer ${PROJECT_SOURCE_DIR}/fuzz/corpus/profile)
loomhaven_fuzz_test(gif_fuzzer ${PROJECT_SOURCE_DIR}/fuzz/corpus/gif)

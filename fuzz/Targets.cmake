# SPDX-License-Identifier: MIT
# The fuzz targets run as tests, each over its seed corpus.
loomhaven_fuzz_test(profile_fuzzer ${PROJECT_SOURCE_DIR}/fuzz/corpus/profile)

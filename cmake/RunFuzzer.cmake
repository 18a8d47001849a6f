# SPDX-License-Identifier: MIT
# Runs one libFuzzer target for SECONDS over SEEDS; new inputs go to WORK, never into the repo.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=4096
            -artifact_prefix=${WORK}/artifacts/ ${WORK}/corpus ${SEEDS}
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (${rc}); see ${WORK}/artifacts")
endif()

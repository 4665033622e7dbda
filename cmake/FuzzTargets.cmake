# TARVO_FUZZ_TARGETS: the target names listed in fuzz/targets, for the fuzz build and for
# the tests that replay the kept inputs; TARVO_FUZZ_SAMPLES_<name>: the folder of shared
# samples it is seeded from, empty when none.
file(STRINGS ${PROJECT_SOURCE_DIR}/fuzz/targets target_lines REGEX "^[a-z]")
set(TARVO_FUZZ_TARGETS)
foreach(line IN LISTS target_lines)
    string(REGEX MATCH "^[a-z0-9_]+" name "${line}")
    list(APPEND TARVO_FUZZ_TARGETS ${name})
    string(REGEX MATCH "[^ ]+$" samples "${line}")
    if(samples STREQUAL "-")
        set(TARVO_FUZZ_SAMPLES_${name} "")
    else()
        set(TARVO_FUZZ_SAMPLES_${name} "${samples}")
    endif()
endforeach()

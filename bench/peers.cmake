# The programs of `make bench-peers` (scripts/bench-peers.sh): the input generator, tarvo's
# side, and a driver for ktoblzcheck when its development package is installed. Built only
# on request; nothing of a peer is linked into anything else.
add_custom_target(bench_peer_programs)
foreach(program generate tarvo_side)
    add_executable(peers_${program} peers/${program}.cpp)
    target_link_libraries(peers_${program} PRIVATE tarvo)
    target_include_directories(peers_${program} PRIVATE ${PROJECT_SOURCE_DIR}/core ${PROJECT_SOURCE_DIR}/bench
                               ${TARVO_GENERATED_DIR})
    add_dependencies(peers_${program} tarvo_generated)
    set_target_properties(peers_${program} PROPERTIES EXCLUDE_FROM_ALL ON)
    add_dependencies(bench_peer_programs peers_${program})
endforeach()

# Found by file rather than by its pkg-config file, whose include path points nowhere.
find_library(KTOBLZCHECK_LIBRARY ktoblzcheck)
find_path(KTOBLZCHECK_INCLUDE_DIR ktoblzcheck.h)
if(KTOBLZCHECK_LIBRARY AND KTOBLZCHECK_INCLUDE_DIR)
    add_executable(peers_ktoblzcheck peers/ktoblzcheck_side.cpp)
    target_include_directories(peers_ktoblzcheck PRIVATE ${KTOBLZCHECK_INCLUDE_DIR})
    target_link_libraries(peers_ktoblzcheck PRIVATE ${KTOBLZCHECK_LIBRARY})
    set_target_properties(peers_ktoblzcheck PROPERTIES EXCLUDE_FROM_ALL ON)
    add_dependencies(bench_peer_programs peers_ktoblzcheck)
endif()

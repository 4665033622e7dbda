# One subsystem of the core: an object library with its sources, plus a static library
# of those objects for tests and tools that need only this layer and the layers below it.
#   tarvo_subsystem(NAME account SOURCES a.cpp b.cpp DEPENDS frame)
function(tarvo_subsystem)
    cmake_parse_arguments(S "" "NAME" "SOURCES;DEPENDS" ${ARGN})
    add_library(tarvo_${S_NAME}_obj OBJECT ${S_SOURCES})
    target_include_directories(tarvo_${S_NAME}_obj PUBLIC
        $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/core>
        $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
    add_library(tarvo_${S_NAME} STATIC $<TARGET_OBJECTS:tarvo_${S_NAME}_obj>)
    target_include_directories(tarvo_${S_NAME} PUBLIC
        $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/core>
        $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
    foreach(dep IN LISTS S_DEPENDS)
        target_link_libraries(tarvo_${S_NAME}_obj PUBLIC tarvo_${dep}_obj)
        target_link_libraries(tarvo_${S_NAME} PUBLIC tarvo_${dep})
    endforeach()
    set_property(GLOBAL APPEND PROPERTY TARVO_SUBSYSTEMS ${S_NAME})
endfunction()

# A GoogleTest program registered with CTest; TARVO_SHARED_DIR is compiled in so that
# data-driven tests find ../shared without hard-coding a path.
function(tarvo_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE TARVO_SHARED_DIR="${TARVO_SHARED_DIR}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

tarvo_bench(datafile LIBS tarvo tarvogen_lib)
target_include_directories(bench_datafile PRIVATE ${PROJECT_SOURCE_DIR}/core ${TARVO_GENERATED_DIR})
add_dependencies(bench_datafile tarvo_generated)

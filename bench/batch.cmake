# Runs the built tarvotool on a generated file, so it needs the program, not a library.
tarvo_bench(batch LIBS tarvo)
target_compile_definitions(bench_batch PRIVATE TARVOTOOL_PATH="$<TARGET_FILE:tarvotool>")
add_dependencies(bench_batch tarvotool)

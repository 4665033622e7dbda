tarvo_bench(convert LIBS tarvo_ident)
add_dependencies(bench_convert tarvo_generated)

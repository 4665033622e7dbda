tarvo_bench(account LIBS tarvo_ident)
add_dependencies(bench_account tarvo_generated)

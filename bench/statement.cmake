tarvo_bench(statement LIBS tarvo_statement)

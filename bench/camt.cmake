tarvo_bench(camt LIBS tarvo_statement)

tarvo_bench(report LIBS tarvo)

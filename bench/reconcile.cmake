tarvo_bench(reconcile LIBS tarvo_reconcile)

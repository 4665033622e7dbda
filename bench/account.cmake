tarvo_bench(account LIBS tarvo_account)

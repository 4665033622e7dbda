tarvo_bench(iban LIBS tarvo_ident)

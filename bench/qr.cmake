tarvo_bench(qr LIBS tarvo-qr)

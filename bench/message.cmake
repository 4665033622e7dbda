tarvo_bench(message LIBS tarvo_message)

# Message loop: messages per second and lateness of delayed messages.
hd_add_bench(bench_loop SOURCES bench_loop.cpp LIBS hd_loop)

# Show files: opening against converting afresh, saving after a small change.
hd_add_bench(bench_show_file SOURCES bench_show_file.cpp LIBS hd_show)

# Drawing canvas: one mouse move of a pen stroke and of a rectangle drag, small and large.
hd_add_bench(bench_diy_canvas SOURCES bench_diy_canvas.cpp LIBS hd_ui GUI)

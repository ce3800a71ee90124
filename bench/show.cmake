# Rendering a show into a video: a minute of show at 450 px and 10 fps.
hd_add_bench(bench_show_render SOURCES bench_show_render.cpp LIBS hd_effect hd_import Qt6::Gui)

# Cutting a clip from a video: the whole run against decoding alone and converting alone.
hd_add_bench(bench_video_cut SOURCES bench_video_cut.cpp LIBS hd_import)

# Text clips and transitions: making a 5-second text clip, a 1-second cross-fade, and one
# frame of a live preview after a settings change.
hd_add_bench(bench_motion SOURCES bench_motion.cpp LIBS hd_motion)

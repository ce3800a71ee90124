# Show files: opening against converting afresh, saving after a small change.
hd_add_bench(bench_show_file SOURCES bench_show_file.cpp PhotoLikePicture.h PhotoLikePicture.cpp LIBS hd_show)
# A playlist converted for a new LED count: all items at once against one by one.
hd_add_bench(bench_playlist_conversion SOURCES bench_playlist_conversion.cpp PhotoLikePicture.h PhotoLikePicture.cpp LIBS hd_show)

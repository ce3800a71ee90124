# Picture import through the import dialog's workers against plain decoding on two threads.
hd_add_bench(bench_picture_import
  SOURCES bench_picture_import.cpp
  LIBS hd_ui
  GUI)

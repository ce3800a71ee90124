# GIF import through the dialog: frames per second for a 100-frame 450 x 450 GIF.
hd_add_bench(bench_gif_import
  SOURCES bench_gif_import.cpp ${CMAKE_SOURCE_DIR}/tests/GifFixtures.h
          ${CMAKE_SOURCE_DIR}/tests/GifFixtures.cpp
  LIBS hd_ui
  GUI)
if(TARGET bench_gif_import)
  target_include_directories(bench_gif_import PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endif()

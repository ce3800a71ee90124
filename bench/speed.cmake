# Start-up and one-shot conversions as fresh processes next to their peers (ImageMagick,
# djpeg), with the ratios printed side by side.
hd_add_bench(bench_speed_targets SOURCES bench_speed_targets.cpp LIBS Qt6::Gui GUI)
if(TARGET bench_speed_targets)
  add_dependencies(bench_speed_targets hologram-cli hologram-display)
endif()

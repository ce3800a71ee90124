# Picture model and LED conversion: end-to-end conversion times.
hd_add_bench(bench_model_conversion SOURCES bench_model_conversion.cpp LIBS hd_model)
# Side-by-side pictures and PSNR figures of both sampling modes (a tool, not a benchmark).
add_executable(sampling_quality sampling_quality.cpp)
target_link_libraries(sampling_quality PRIVATE hd_model Qt6::Gui)

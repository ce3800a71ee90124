# Picture model and LED conversion: end-to-end conversion times.
hd_add_bench(bench_model_conversion SOURCES bench_model_conversion.cpp LIBS hd_model)

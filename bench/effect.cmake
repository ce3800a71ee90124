# Effect files: writing 220 MB against a plain copy, reading a full slotted file.
hd_add_bench(bench_effect SOURCES bench_effect.cpp LIBS hd_effect Qt6::Core)

# Whether an effect file fits a geometry, and the read request that carries a read.
hd_add_test(test_effect_file_check SOURCES test_effect_file_check.cpp EffectTestSupport.h
  LIBS hd_effect LABELS effect threads)

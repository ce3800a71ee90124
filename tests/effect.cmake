# Effect files: format rules, writer, reader, command-line round trip.
hd_add_test(test_effect_format SOURCES test_effect_format.cpp EffectTestSupport.h
  LIBS hd_effect LABELS effect)
hd_add_test(test_effect_writer SOURCES test_effect_writer.cpp EffectTestSupport.h
  LIBS hd_effect LABELS effect)
hd_add_test(test_effect_reader SOURCES test_effect_reader.cpp EffectTestSupport.h
  LIBS hd_effect LABELS effect)

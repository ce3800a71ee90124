# Effect files: format rules, writer, reader, command-line round trip.
hd_add_test(test_effect_format SOURCES test_effect_format.cpp EffectTestSupport.h
  LIBS hd_effect LABELS effect)
hd_add_test(test_effect_writer SOURCES test_effect_writer.cpp EffectTestSupport.h
  LIBS hd_effect LABELS effect)
# The reader makes its items on helper threads, so it also runs under ThreadSanitizer.
hd_add_test(test_effect_reader SOURCES test_effect_reader.cpp EffectTestSupport.h
  LIBS hd_effect LABELS effect threads TIMEOUT 180)
hd_add_test(test_effect_item_maker SOURCES test_effect_item_maker.cpp EffectTestSupport.h
  LIBS hd_effect LABELS effect threads TIMEOUT 120)
hd_add_test(test_ordered_pipeline SOURCES test_ordered_pipeline.cpp
  LIBS hd_effect LABELS effect threads TIMEOUT 60)
if(TARGET hologram-cli)
  hd_add_test(test_effect_cli
    SOURCES test_effect_cli.cpp EffectTestSupport.h
    LIBS hd_effect LABELS effect cli TIMEOUT 180)
  add_dependencies(test_effect_cli hologram-cli)
endif()

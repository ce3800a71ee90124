# Message loop and the main-window worker.
hd_add_test(test_loop SOURCES test_loop.cpp LIBS hd_loop LABELS threads TIMEOUT 60)
hd_add_test(test_loop_stress SOURCES test_loop_stress.cpp LIBS hd_loop LABELS threads
            TIMEOUT 180)

# Under ThreadSanitizer the first report fails the test; Qt's own futex-based
# synchronisation is invisible to it and is suppressed in tsan.supp.
if(HD_SANITIZE STREQUAL "thread")
  set_property(TEST test_loop test_loop_stress APPEND PROPERTY ENVIRONMENT
    "TSAN_OPTIONS=halt_on_error=1 second_deadlock_stack=1 suppressions=${CMAKE_CURRENT_SOURCE_DIR}/tsan.supp")
endif()
# The worker's reads go through the effect reader; its test links once the reader is built.
get_target_property(hd_effect_sources hd_effect SOURCES)
if("EffectReader.cpp" IN_LIST hd_effect_sources)
  hd_add_test(test_play_media_handler SOURCES test_play_media_handler.cpp LIBS hd_effect
              TIMEOUT 60)
endif()

# Recovery copies: owners and orphans, the writer off the GUI thread, a killed program's copy
# restored, and the start's offer in the window.
hd_add_test(test_recovery
  SOURCES test_recovery.cpp ShowFixtures.h ShowFixtures.cpp
  LIBS hd_show LABELS show threads TIMEOUT 180)
# Starts the program, kills it after a change and opens what it left.
if(TARGET hologram-display)
  hd_add_test(test_recovery_kill
    SOURCES test_recovery_kill.cpp ShowFixtures.h ShowFixtures.cpp
    LIBS hd_show GUI LABELS show TIMEOUT 240)
  target_compile_definitions(test_recovery_kill PRIVATE
    HD_DISPLAY_BINARY="$<TARGET_FILE:hologram-display>")
  add_dependencies(test_recovery_kill hologram-display)
endif()
hd_add_test(test_recovery_offer
  SOURCES test_recovery_offer.cpp MainWindowTestSupport.h ShowFixtures.h ShowFixtures.cpp
  LIBS hd_ui GUI LABELS show TIMEOUT 180)

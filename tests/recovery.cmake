# Recovery copies: owners and orphans, the writer off the GUI thread, a killed program's copy
# restored, and the start's offer in the window.
hd_add_test(test_recovery
  SOURCES test_recovery.cpp ShowFixtures.h ShowFixtures.cpp
  LIBS hd_show LABELS show threads TIMEOUT 180)

# The window's show file: saved and opened through the window, the question before unsaved
# changes go, refused files, the lock while a save runs, the recent list (widgets, offscreen).
hd_add_test(test_show_session
  SOURCES test_show_session.cpp MainWindowTestSupport.h ShowFixtures.h ShowFixtures.cpp
  LIBS hd_ui LABELS show GUI TIMEOUT 300)

# Settings kept between runs: reading, checking and writing them back (no widgets), and the
# window's use of them.
hd_add_test(test_app_settings SOURCES test_app_settings.cpp LIBS hd_app TIMEOUT 60)
hd_add_test(test_window_session
  SOURCES test_window_session.cpp MainWindowTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 120)

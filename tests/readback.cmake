# Reading effects back into the window, the geometry dialogs and contrast changes.
hd_add_test(test_read_back_window
  SOURCES test_read_back_window.cpp MainWindowTestSupport.h EffectTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 180)

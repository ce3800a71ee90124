# Main window, picture import, busy dialog, resources and languages (widgets, offscreen).
hd_add_test(test_main_window
  SOURCES test_main_window.cpp MainWindowTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 120)

hd_add_test(test_load_images_dialog
  SOURCES test_load_images_dialog.cpp MainWindowTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 180)

# Drawing editor: marker, shapes, history, canvas and form (widgets, offscreen).
hd_add_test(test_diy_round_area
  SOURCES test_diy_round_area.cpp DiyTestSupport.h
  LIBS hd_ui
  GUI)

hd_add_test(test_diy_canvas
  SOURCES test_diy_canvas.cpp DiyTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 180)

hd_add_test(test_diy_form
  SOURCES test_diy_form.cpp DiyTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 120)

hd_add_test(test_diy_main_window
  SOURCES test_diy_main_window.cpp DiyTestSupport.h MainWindowTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 120)

# The drawing document without widgets: undo, zoom, output square, history, saving.
hd_add_test(test_diy_document
  SOURCES test_diy_document.cpp
  LIBS hd_diy)

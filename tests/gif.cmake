# GIF import: the cutting run of a GIF, the dialog, the window's import and its agreement
# with hologram-cli build.
hd_add_test(test_gif_cutting
  SOURCES test_gif_cutting.cpp GifFixtures.h GifFixtures.cpp
  LIBS hd_import
  LABELS threads TIMEOUT 300)
hd_add_test(test_load_gif_dialog
  SOURCES test_load_gif_dialog.cpp MainWindowTestSupport.h GifFixtures.h GifFixtures.cpp
  LIBS hd_ui
  GUI LABELS threads TIMEOUT 180)
if(TARGET test_load_gif_dialog)
  add_dependencies(test_load_gif_dialog hologram-cli)
endif()

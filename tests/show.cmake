# The show as the display plays it: timeline, video rendering, the window's player.
hd_add_test(test_show_timeline SOURCES test_show_timeline.cpp LIBS hd_effect LABELS effect)
hd_add_test(test_show_render
  SOURCES test_show_render.cpp PrivateMounts.h PrivateMounts.cpp
  LIBS hd_effect hd_import LABELS effect TIMEOUT 180)
hd_add_test(test_show_player
  SOURCES test_show_player.cpp MainWindowTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 120)
if(TARGET hologram-cli)
  hd_add_test(test_show_cli
    SOURCES test_show_cli.cpp EffectTestSupport.h
    LIBS hd_effect hd_import LABELS effect cli TIMEOUT 240)
  add_dependencies(test_show_cli hologram-cli)
endif()

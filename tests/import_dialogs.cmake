# The import dialogs' shared parts (widgets, offscreen).
hd_add_test(test_clip_cut_run
  SOURCES test_clip_cut_run.cpp
  LIBS hd_ui
  GUI LABELS threads TIMEOUT 60)

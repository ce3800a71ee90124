# Text clips and transitions: their frames converted as any clip's, timing, scripts, refusals.
hd_add_test(test_motion_clips
  SOURCES test_motion_clips.cpp
  LIBS hd_motion
  LABELS threads TIMEOUT 300)
if(TARGET hologram-cli)
  hd_add_test(test_motion_cli
    SOURCES test_motion_cli.cpp CliRun.h
    LIBS hd_motion LABELS cli TIMEOUT 300)
  add_dependencies(test_motion_cli hologram-cli)
endif()

# Text clips in show files: settings kept, version 1 files still open, unreadable settings.
hd_add_test(test_text_clip_show
  SOURCES test_text_clip_show.cpp ShowFixtures.h ShowFixtures.cpp
  LIBS hd_show hd_motion LABELS show TIMEOUT 300)

# The text clip dialog: the command line's bytes, refusals, the live preview, editing again.
hd_add_test(test_text_clip_dialog
  SOURCES test_text_clip_dialog.cpp MainWindowTestSupport.h ModalDriver.h ModalDriver.cpp
  LIBS hd_ui
  GUI TIMEOUT 300)

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

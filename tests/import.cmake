# Video import: the cutting threads, their hand-over and the region arithmetic.
hd_add_test(test_video_cutting
  SOURCES test_video_cutting.cpp VideoFixtures.h VideoFixtures.cpp
    ../video/VideoFrameImage.h ../video/VideoFrameImage.cpp
  LIBS hd_import ${OpenCV_LIBS}
  LABELS threads TIMEOUT 180)
hd_add_test(test_video_cli
  SOURCES test_video_cli.cpp VideoFixtures.h VideoFixtures.cpp
  LIBS hd_import ${OpenCV_LIBS}
  TIMEOUT 180)
add_dependencies(test_video_cli hologram-cli)
hd_add_test(test_video_reading
  SOURCES test_video_reading.cpp VideoFixtures.h VideoFixtures.cpp
  LIBS hd_import ${OpenCV_LIBS}
  TIMEOUT 120)
hd_add_test(test_region_dialog SOURCES test_region_dialog.cpp LIBS hd_ui GUI TIMEOUT 60)
hd_add_test(test_load_media_dialog
  SOURCES test_load_media_dialog.cpp MainWindowTestSupport.h VideoFixtures.h VideoFixtures.cpp
  LIBS hd_ui ${OpenCV_LIBS}
  GUI LABELS threads TIMEOUT 180)
# Without the video module: everything but videos as before, videos refused with the reason.
hd_add_test(test_video_module_absent
  SOURCES test_video_module_absent.cpp VideoFixtures.h VideoFixtures.cpp PictureFixtures.h
    PictureFixtures.cpp
  LIBS hd_import ${OpenCV_LIBS}
  TIMEOUT 180)
add_dependencies(test_video_module_absent hologram-cli)

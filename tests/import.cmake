# Video import: the cutting threads, their hand-over and the region arithmetic.
hd_add_test(test_video_cutting
  SOURCES test_video_cutting.cpp VideoFixtures.h VideoFixtures.cpp
  LIBS hd_import
  LABELS threads TIMEOUT 180)

# Files dropped and pasted on the window, rows dragged within a list (widgets, offscreen).
hd_add_test(test_drops
  SOURCES test_drops.cpp MainWindowTestSupport.h EffectTestSupport.h GifFixtures.h GifFixtures.cpp
          PictureFixtures.h PictureFixtures.cpp
  LIBS hd_ui
  GUI TIMEOUT 240)

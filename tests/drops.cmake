# Files dropped and pasted on the window, rows dragged within a list (widgets, offscreen).
hd_add_test(test_drops
  SOURCES test_drops.cpp MainWindowTestSupport.h EffectTestSupport.h GifFixtures.h GifFixtures.cpp
          PictureFixtures.h PictureFixtures.cpp
  LIBS hd_ui
  GUI TIMEOUT 240)

# Not a test: a window to drag files from when trying drops by hand under Xvfb.
if(HD_BUILD_GUI)
  add_executable(drag_source drag_source.cpp)
  target_link_libraries(drag_source PRIVATE Qt6::Widgets)
endif()

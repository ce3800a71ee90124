# Playlists converted for a new geometry or sampling from their items' sources: the core
# conversion, and the window's questions, busy dialog and swap.
hd_add_test(test_playlist_conversion
  SOURCES test_playlist_conversion.cpp ShowFixtures.h ShowFixtures.cpp
  LIBS hd_show LABELS show threads TIMEOUT 240)
if(HD_BUILD_GUI)
  hd_add_test(test_geometry_conversion
    SOURCES test_geometry_conversion.cpp MainWindowTestSupport.h ShowFixtures.h ShowFixtures.cpp
            GifFixtures.h GifFixtures.cpp RegionDialogDriver.h
    LIBS hd_ui hd_show
    GUI LABELS show threads TIMEOUT 300)
endif()

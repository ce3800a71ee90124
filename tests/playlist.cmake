# Playlist: the model shared by the picture and clip lists, its delegates and row editors.
hd_add_test(test_playlist_model
  SOURCES test_playlist_model.cpp PlaylistFixtures.h PlaylistFixtures.cpp
  LIBS hd_ui
  GUI TIMEOUT 30)

hd_add_test(test_playlist_rows
  SOURCES test_playlist_rows.cpp PlaylistFixtures.h PlaylistFixtures.cpp
  LIBS hd_ui
  GUI LABELS threads TIMEOUT 60)

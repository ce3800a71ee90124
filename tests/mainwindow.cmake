# Main window, picture import, busy dialog, resources and languages (widgets, offscreen).
hd_add_test(test_main_window
  SOURCES test_main_window.cpp MainWindowTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 120)

hd_add_test(test_load_images_dialog
  SOURCES test_load_images_dialog.cpp MainWindowTestSupport.h PictureFixtures.h PictureFixtures.cpp
  LIBS hd_ui
  GUI TIMEOUT 180)

# Starts the program itself: its private work directory, two copies at once.
if(TARGET hologram-display)
  hd_add_test(test_work_directory SOURCES test_work_directory.cpp LIBS Qt6::Gui GUI TIMEOUT 120)
  target_compile_definitions(test_work_directory PRIVATE
    HD_DISPLAY_BINARY="$<TARGET_FILE:hologram-display>")
  add_dependencies(test_work_directory hologram-display)
endif()

hd_add_test(test_sampling_choice
  SOURCES test_sampling_choice.cpp MainWindowTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 120)

# The list rows driven by clicks and keys: selection, Del, the row controls.
hd_add_test(test_playlist_selection
  SOURCES test_playlist_selection.cpp MainWindowTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 120)

# Undo and redo of the playlist edits, and the lifetime of deleted items.
hd_add_test(test_playlist_history
  SOURCES test_playlist_history.cpp MainWindowTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 120)

# Transitions in the window: made for their pair, made again on changes and undo, played,
# counted and downloaded as the command line builds them.
if(TARGET hologram-cli AND HD_BUILD_GUI)
  hd_add_test(test_window_transitions
    SOURCES test_window_transitions.cpp MainWindowTestSupport.h CliRun.h GifFixtures.h GifFixtures.cpp
    LIBS hd_ui
    GUI TIMEOUT 240)
  add_dependencies(test_window_transitions hologram-cli)
endif()

# The round preview at any size and device pixel ratio.
hd_add_test(test_round_preview SOURCES test_round_preview.cpp LIBS hd_ui GUI TIMEOUT 60)

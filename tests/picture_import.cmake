# Picture import: the checks every picture passes before decoding, the workers' reusing
# decoder and their shared memory budget, and the files a conversion writes.
hd_add_test(test_picture_file
  SOURCES test_picture_file.cpp PictureFixtures.h PictureFixtures.cpp
  LIBS hd_model
  TIMEOUT 120)
hd_add_test(test_picture_decoder
  SOURCES test_picture_decoder.cpp PictureFixtures.h PictureFixtures.cpp
  LIBS hd_model
  LABELS threads TIMEOUT 60)
hd_add_test(test_decode_budget SOURCES test_decode_budget.cpp LIBS hd_model
  LABELS threads TIMEOUT 60)
hd_add_test(test_picture_cli
  SOURCES test_picture_cli.cpp PictureFixtures.h PictureFixtures.cpp
  LIBS Qt6::Gui
  TIMEOUT 120)
add_dependencies(test_picture_cli hologram-cli)
hd_add_test(test_sampling_preview_file SOURCES test_sampling_preview_file.cpp LIBS hd_model)
hd_add_test(test_import_copies
  SOURCES test_import_copies.cpp MainWindowTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 120)
hd_add_test(test_gif_layout
  SOURCES test_gif_layout.cpp GifFixtures.h GifFixtures.cpp
  LIBS hd_model
  TIMEOUT 60)

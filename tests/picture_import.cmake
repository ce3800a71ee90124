# Picture import: the workers' reusing decoder and the files a conversion writes.
hd_add_test(test_picture_decoder SOURCES test_picture_decoder.cpp LIBS hd_model)
hd_add_test(test_sampling_preview_file SOURCES test_sampling_preview_file.cpp LIBS hd_model)
hd_add_test(test_import_copies
  SOURCES test_import_copies.cpp MainWindowTestSupport.h
  LIBS hd_ui
  GUI TIMEOUT 120)

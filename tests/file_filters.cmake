# The file dialogs' name filters against what the readers take.
hd_add_test(test_file_filters
  SOURCES test_file_filters.cpp GifFixtures.h GifFixtures.cpp
  LIBS hd_ui
  GUI TIMEOUT 60)

# Show files: saving, opening, refusing, and saving from a worker.
hd_add_test(test_show_file
  SOURCES test_show_file.cpp ShowFixtures.h ShowFixtures.cpp
  LIBS hd_show LABELS show TIMEOUT 300)

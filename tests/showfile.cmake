# Show files: saving, opening, refusing, and saving from a worker.
hd_add_test(test_show_file
  SOURCES test_show_file.cpp ShowFixtures.h ShowFixtures.cpp
  LIBS hd_show LABELS show TIMEOUT 300)
if(TARGET hologram-cli)
  hd_add_test(test_show_file_cli
    SOURCES test_show_file_cli.cpp CliRun.h ShowFixtures.h ShowFixtures.cpp
    LIBS hd_show LABELS show cli TIMEOUT 180)
  add_dependencies(test_show_file_cli hologram-cli)
endif()
hd_add_test(test_show_threads
  SOURCES test_show_threads.cpp ShowFixtures.h ShowFixtures.cpp
  LIBS hd_show LABELS show threads TIMEOUT 240)
# Transitions kept in show files: made again into the same bytes, by build --show too.
if(TARGET hologram-cli)
  hd_add_test(test_show_transitions
    SOURCES test_show_transitions.cpp CliRun.h ShowFixtures.h ShowFixtures.cpp
    LIBS hd_show hd_motion Qt6::Sql LABELS show cli TIMEOUT 240)
  add_dependencies(test_show_transitions hologram-cli)
endif()

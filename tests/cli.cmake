# The command-line tool's outputs: what it refuses to write over and what it leaves behind.
if(TARGET hologram-cli)
  hd_add_test(test_cli_outputs
    SOURCES test_cli_outputs.cpp CliRun.h PrivateMounts.h PrivateMounts.cpp
    LIBS hd_effect LABELS cli TIMEOUT 240)
  add_dependencies(test_cli_outputs hologram-cli)
endif()

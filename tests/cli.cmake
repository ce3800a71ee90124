# The command-line tool's outputs and how programs end on a signal.
if(TARGET hologram-cli)
  hd_add_test(test_cli_outputs
    SOURCES test_cli_outputs.cpp CliRun.h PrivateMounts.h PrivateMounts.cpp
    LIBS hd_effect LABELS cli TIMEOUT 240)
  add_dependencies(test_cli_outputs hologram-cli)
endif()
hd_add_test(test_exit_signals SOURCES test_exit_signals.cpp LIBS hd_app TIMEOUT 60)

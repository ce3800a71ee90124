# Message loop and the main-window worker.
hd_add_test(test_loop SOURCES test_loop.cpp LIBS hd_loop LABELS threads TIMEOUT 60)
hd_add_test(test_loop_stress SOURCES test_loop_stress.cpp LIBS hd_loop LABELS threads
            TIMEOUT 180)

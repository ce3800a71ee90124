# Removable disks: the disk list logic, the Linux backend on a fake mount table and sysfs
# tree, the selection and file-name dialogs, and the downloads end to end.
hd_add_test(test_disk_monitor
  SOURCES test_disk_monitor.cpp
  LIBS hd_disk
  TIMEOUT 20)

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  hd_add_test(test_linux_disk_backend
    SOURCES test_linux_disk_backend.cpp FakeSysfs.h FakeSysfs.cpp PrivateMounts.h PrivateMounts.cpp
    LIBS hd_disk
    TIMEOUT 20)
endif()

hd_add_test(test_select_usb_path_dialog
  SOURCES test_select_usb_path_dialog.cpp ModalDriver.h ModalDriver.cpp
  LIBS hd_ui
  GUI TIMEOUT 30)

# The dialog's sources are compiled in directly so that this test does not wait for the
# rest of the window library.
hd_add_test(test_get_save_file_dialog
  SOURCES test_get_save_file_dialog.cpp ModalDriver.h ModalDriver.cpp
          ../ui/dialogs/GetSaveFileDialog.h ../ui/dialogs/GetSaveFileDialog.cpp ../ui/UiLog.h ../ui/UiLog.cpp
  LIBS Qt6::Widgets
  GUI TIMEOUT 30)

# The Win32 part of the disk list must keep compiling for Windows: checked with Debian's
# MinGW cross compiler when it is installed (compile only, nothing to run).
find_program(HD_MINGW_CXX x86_64-w64-mingw32-g++)
if(HD_MINGW_CXX)
  add_test(NAME test_disk_win32_cross_compile
    COMMAND ${HD_MINGW_CXX} -std=c++20 -Wall -Wextra -Werror -c
            ${CMAKE_SOURCE_DIR}/disk/Win32Drives.cpp
            -o ${CMAKE_CURRENT_BINARY_DIR}/Win32Drives.mingw.o)
  set_tests_properties(test_disk_win32_cross_compile PROPERTIES LABELS "cross" TIMEOUT 60)
endif()

# Downloads through the main window, end to end. Full and read-only disks are mounts in a
# private mount namespace of the test process.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  hd_add_test(test_downloads
    SOURCES test_downloads.cpp MainWindowTestSupport.h PrivateMounts.h PrivateMounts.cpp
    LIBS hd_ui
    GUI TIMEOUT 60)
endif()

hd_add_test(test_progress_dialog
  SOURCES test_progress_dialog.cpp
  LIBS hd_ui
  GUI TIMEOUT 30)

# Languages: the catalogues against the keys the sources use (extracted by lupdate at test
# time), and switching the language at run time.
if(HD_BUILD_GUI)
  hd_add_test(test_catalogues SOURCES test_catalogues.cpp LIBS hd_app hd_resources LABELS languages)
  target_compile_definitions(test_catalogues PRIVATE
    HD_LUPDATE="$<TARGET_FILE:Qt6::lupdate>"
    HD_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    HD_TRANSLATED_SOURCES_LIST="${HD_TRANSLATED_SOURCES_LIST}")
  hd_add_test(test_languages SOURCES test_languages.cpp MainWindowTestSupport.h
    LIBS hd_ui LABELS languages GUI TIMEOUT 120)
endif()

# The folder layering: includes follow the declared links, and the core holds no widget.
find_path(HD_QT_WIDGETS_HEADERS QWidget PATH_SUFFIXES qt6/QtWidgets x86_64-linux-gnu/qt6/QtWidgets)
add_test(NAME test_include_layers
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DWIDGETS_DIR=${HD_QT_WIDGETS_HEADERS}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/CheckIncludeLayers.cmake)
set_tests_properties(test_include_layers PROPERTIES TIMEOUT 30 LABELS core)

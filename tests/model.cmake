# Picture model and LED conversion.
hd_add_test(test_model_dots SOURCES test_model_dots.cpp LIBS hd_model)
# The sampling preview painted from its dot map, pixel for pixel as the dots draw it.
hd_add_test(test_preview_dot_map SOURCES test_preview_dot_map.cpp LIBS hd_model LABELS threads)
hd_add_test(test_model_conversion SOURCES test_model_conversion.cpp LIBS hd_model
  LABELS threads)
hd_add_test(test_model_colour SOURCES test_model_colour.cpp LIBS hd_model LABELS threads)
hd_add_test(test_model_colour_form SOURCES test_model_colour_form.cpp LIBS hd_ui GUI)
hd_add_test(test_cli SOURCES test_cli.cpp LIBS hd_model)
add_dependencies(test_cli hologram-cli)
hd_add_test(test_model_frame_file SOURCES test_model_frame_file.cpp LIBS hd_model)
hd_add_test(test_opaque_png SOURCES test_opaque_png.cpp LIBS hd_model TIMEOUT 60)
# Computes the weights of several geometries: slow in the sanitizer builds.
hd_add_test(test_model_smooth SOURCES test_model_smooth.cpp LIBS hd_model TIMEOUT 300)

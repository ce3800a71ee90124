# Reusing picture decoder of the import workers.
hd_add_test(test_picture_decoder SOURCES test_picture_decoder.cpp LIBS hd_model)

velmora_test(seekbar_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/seek_bar_test.cpp
  LIBS velmora_seekbar velmora_controller velmora_settings)

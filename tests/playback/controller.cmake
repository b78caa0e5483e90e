velmora_test(controller_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/playback_controller_test.cpp
  LIBS velmora_controller velmora_settings
  TIMEOUT 600)  # 100,000 entries under the sanitizers take minutes on a busy machine

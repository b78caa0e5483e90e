velmora_test(video_window_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/play_form_test.cpp
  LIBS velmora_video_window velmora_skin velmora_controller)
target_include_directories(video_window_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/skin)

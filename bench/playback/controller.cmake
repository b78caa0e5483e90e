velmora_bench(controller_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/controller_bench.cpp
  LIBS velmora_controller velmora_settings)
target_include_directories(controller_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)

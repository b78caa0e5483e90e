velmora_library(velmora_controller
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/playback_controller.cpp
  LIBS velmora_settings velmora_base Qt6::Core)

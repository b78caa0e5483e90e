# Seek bar, time text and winding: logic against the engine interface.
velmora_library(velmora_seekbar
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/seek_bar.cpp ${CMAKE_CURRENT_LIST_DIR}/winding.cpp
  LIBS velmora_base Qt6::Core)

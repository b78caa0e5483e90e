# The video window (PlayForm) with its pop-up menu.
velmora_library(velmora_video_window
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/play_form.cpp ${CMAKE_CURRENT_LIST_DIR}/video_place.cpp
  LIBS velmora_skin_model Qt6::Widgets)

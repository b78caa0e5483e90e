# The media engines: libmpv playback and libavformat length measuring, built
# into the run-time module libvelmora-media.so, and the loader the program
# links instead (Qt Core only).
pkg_check_modules(MPV REQUIRED IMPORTED_TARGET mpv)
pkg_check_modules(LIBAV REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil)

set(here ${CMAKE_CURRENT_LIST_DIR})

velmora_library(velmora_media_log
  SOURCES ${here}/media_log.cpp
  LIBS Qt6::Core)

velmora_library(velmora_mpv_engine
  SOURCES ${here}/mpv_engine.cpp ${here}/video_outputs.cpp
  LIBS velmora_media_log velmora_base Qt6::Core PkgConfig::MPV)

velmora_library(velmora_av_length_probe
  SOURCES ${here}/av_clip_length.cpp ${here}/av_length_probe.cpp
  LIBS velmora_media_log velmora_base Qt6::Core PkgConfig::LIBAV Threads::Threads)

# The module itself, in the program folder beside the executable.
add_library(velmora-media MODULE ${here}/media_module_entry.cpp)
target_link_libraries(velmora-media PRIVATE velmora_mpv_engine velmora_av_length_probe)
set_target_properties(velmora-media PROPERTIES
  CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
velmora_warnings(velmora-media)

# What the program links: the loader and the stand-ins, no media libraries.
velmora_library(velmora_media_loader
  SOURCES ${here}/media_module.cpp ${here}/deferred_media_engine.cpp ${here}/deferred_length_probe.cpp
  LIBS velmora_media_log Qt6::Core)

set(here ${CMAKE_CURRENT_LIST_DIR})

# A scripted engine for other subsystems' tests: #include "playback/fake_engine.h".
add_library(velmora_fake_engine STATIC ${here}/fake_engine.cpp)
target_include_directories(velmora_fake_engine PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(velmora_fake_engine PUBLIC Qt6::Core)
velmora_warnings(velmora_fake_engine)

# Clips made with ffmpeg at test time, and the level meter for WAV output.
add_library(velmora_media_clips STATIC ${here}/media_clips.cpp ${here}/wav_levels.cpp)
target_include_directories(velmora_media_clips PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(velmora_media_clips PUBLIC Qt6::Core)
velmora_warnings(velmora_media_clips)

velmora_test(mpv_engine_tests
  SOURCES ${here}/mpv_engine_test.cpp
  LIBS velmora_mpv_engine velmora_media_clips)

velmora_test(av_length_probe_tests
  SOURCES ${here}/av_length_probe_test.cpp
  LIBS velmora_av_length_probe velmora_media_clips)

velmora_test(media_module_tests
  SOURCES ${here}/media_module_test.cpp
  LIBS velmora_media_loader velmora_fake_engine velmora_media_clips)
add_dependencies(media_module_tests velmora-media)

# The programs must not link the media libraries themselves: they come with the module.
if(TARGET velmora4 AND TARGET velmora4-player)
  add_test(NAME player_links_no_media_libraries
    COMMAND sh -c "ldd '$<TARGET_FILE:velmora4>' '$<TARGET_FILE:velmora4-player>' | grep -E 'libmpv|libavformat|libavcodec' && exit 1 || exit 0")
endif()

velmora_test(mpv_window_tests REAL_DISPLAY
  SOURCES ${here}/mpv_window_test.cpp
  LIBS velmora_mpv_engine velmora_media_clips)
# libmpv probes the GL drivers, which leave a small allocation behind in a
# library unloaded again; only full stacks let the suppressions see whose it is.
set_property(TEST mpv_window_tests APPEND PROPERTY ENVIRONMENT
  "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:fast_unwind_on_malloc=0")

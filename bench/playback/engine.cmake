set(here ${CMAKE_CURRENT_LIST_DIR})

velmora_bench(mpv_engine_bench
  SOURCES ${here}/mpv_engine_bench.cpp
  LIBS velmora_mpv_engine velmora_av_length_probe velmora_media_clips)

velmora_bench(length_probe_bench
  SOURCES ${here}/length_probe_bench.cpp
  LIBS velmora_av_length_probe velmora_media_clips velmora_base)

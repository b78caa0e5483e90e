# Second starts through the real front program against a running stand-in.
velmora_bench(channel_bench SOURCES channel_bench.cpp LIBS velmora_instance)
add_dependencies(channel_bench velmora4 channel_fake_player)

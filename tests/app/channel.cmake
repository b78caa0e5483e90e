# The instance channel: command text and tokens, both socket ends in-process,
# and the real front program against a stand-in player.
velmora_test(channel_tests
  SOURCES channel_command_test.cpp channel_folder_test.cpp channel_transport_test.cpp
  LIBS velmora_instance velmora_settings velmora_base)

add_executable(channel_fake_player channel_fake_player.cpp)
target_link_libraries(channel_fake_player PRIVATE velmora_instance Qt6::Core)
set_target_properties(channel_fake_player PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
velmora_warnings(channel_fake_player)

velmora_test(channel_process_tests
  SOURCES channel_process_test.cpp
  LIBS velmora_channel
  TIMEOUT 120)
add_dependencies(channel_process_tests velmora4 channel_fake_player)

# Test programs of the cross build run under Wine (see wine-run.sh). The
# first run of a session starts the X server and prepares the prefix; this
# fixture's cleanup ends them after the last test.
add_test(NAME wine_stop COMMAND ${CMAKE_BINARY_DIR}/wine-run.sh --stop)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)

add_executable(spoolex-wine-keeper ${PROJECT_SOURCE_DIR}/tests/support/WineKeeper.cpp)
target_link_libraries(spoolex-wine-keeper PRIVATE user32)
set_target_properties(spoolex-wine-keeper PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/wine)

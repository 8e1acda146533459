# Test programs of the cross build run under Wine (see wine-run.sh). The
# first run of a session starts the X server and prepares the prefix; this
# fixture's cleanup ends them after the last test.
add_test(NAME wine_stop COMMAND ${CMAKE_BINARY_DIR}/wine-run.sh --stop)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)

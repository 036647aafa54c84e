add_executable(end_to_end_tests ${CMAKE_CURRENT_LIST_DIR}/end_to_end_tests.cpp)
set_target_properties(end_to_end_tests PROPERTIES AUTOMOC ON)
target_link_libraries(end_to_end_tests PRIVATE trellisk_ui Qt6::Test)
add_test(NAME end_to_end_tests
         COMMAND ${TRELLISK_XVFB_RUN} --trayer $<TARGET_FILE:end_to_end_tests>)
set_tests_properties(end_to_end_tests PROPERTIES TIMEOUT 120)

add_executable(folder_editing_tests ${CMAKE_CURRENT_LIST_DIR}/folder_editing_tests.cpp)
set_target_properties(folder_editing_tests PROPERTIES AUTOMOC ON)
target_link_libraries(folder_editing_tests PRIVATE trellisk_ui Qt6::Test)
add_test(NAME folder_editing_tests COMMAND folder_editing_tests)
set_tests_properties(folder_editing_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

# Needs a real X server: the test opens windows of its own for the program to find.
add_executable(folder_collection_tests ${CMAKE_CURRENT_LIST_DIR}/folder_collection_tests.cpp)
set_target_properties(folder_collection_tests PROPERTIES AUTOMOC ON)
target_link_libraries(folder_collection_tests PRIVATE trellisk_ui Qt6::Test PkgConfig::XCB)
add_test(NAME folder_collection_tests
         COMMAND ${TRELLISK_XVFB_RUN} $<TARGET_FILE:folder_collection_tests>)

# The whole program under an X server with a system tray.
add_executable(folder_watching_tests ${CMAKE_CURRENT_LIST_DIR}/folder_watching_tests.cpp)
set_target_properties(folder_watching_tests PROPERTIES AUTOMOC ON)
target_link_libraries(folder_watching_tests PRIVATE trellisk_ui Qt6::Test)
add_test(NAME folder_watching_tests
         COMMAND ${TRELLISK_XVFB_RUN} --trayer $<TARGET_FILE:folder_watching_tests>)
set_tests_properties(folder_watching_tests PROPERTIES TIMEOUT 120)

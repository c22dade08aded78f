# Widget tests of the process watcher and the terminator window, included once korvane_gui_tests
# exists. They start real helper programs, which only the Linux build has.
if(TARGET korvane_test_helpers)
    target_sources(korvane_gui_tests PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/watched_main_window.cpp
        ${CMAKE_CURRENT_LIST_DIR}/process_watcher_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/terminator_window_test.cpp)
    target_link_libraries(korvane_gui_tests PRIVATE korvane_test_helpers)
endif()

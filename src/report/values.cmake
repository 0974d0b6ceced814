target_sources(hx_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/process_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tag_format.cpp
)
hx_add_test(tag_format_test ${CMAKE_CURRENT_LIST_DIR}/tag_format_test.cpp)
hx_add_test(process_list_test ${CMAKE_CURRENT_LIST_DIR}/process_list_test.cpp)

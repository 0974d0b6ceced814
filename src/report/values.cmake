target_sources(hx_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/process_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tag_format.cpp
)

target_sources(hx_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/date_time_format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/render_lines.cpp
)
hx_add_test(render_test
  ${CMAKE_CURRENT_LIST_DIR}/render_lines_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/date_time_format_test.cpp
)

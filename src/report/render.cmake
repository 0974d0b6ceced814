target_sources(hx_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/render_lines.cpp)

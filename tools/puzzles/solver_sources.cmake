# The loop solver's sources, for the targets that build it without the
# puzzle tools' library (the game's tests in the Windows build, the fuzz
# targets).
set(quorrin_solver_sources
    ${CMAKE_CURRENT_LIST_DIR}/loop_check.cpp
    ${CMAKE_CURRENT_LIST_DIR}/loop_solver.cpp
    ${CMAKE_CURRENT_LIST_DIR}/solver_geometry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/solver_lookahead.cpp
    ${CMAKE_CURRENT_LIST_DIR}/solver_rating.cpp
    ${CMAKE_CURRENT_LIST_DIR}/solver_regions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/solver_rules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/solver_search.cpp)

# The library of nonlinear test problems, shared by tests/nlp and bench/nlp
# (each includes this file; the first one defines the target).
if(NOT TARGET tarvo_nlp_problems)
  add_library(tarvo_nlp_problems STATIC
    ${CMAKE_CURRENT_LIST_DIR}/problems.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hs_linear.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hs_nonlinear.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qp_known.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scalable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bad.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tvnose_arrays.cpp
    ${CMAKE_CURRENT_LIST_DIR}/callbacks.cpp)
  target_include_directories(tarvo_nlp_problems PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(tarvo_nlp_problems PUBLIC tarvo_solver)
endif()

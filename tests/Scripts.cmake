# Script tests: the engine programs driven through pipes as an interface
# drives them, the check that the shipped piece-square files are exactly what
# their generator makes, and the move judge's perft against the suite.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME EngineSession
    COMMAND ${Python3_EXECUTABLE} tests/frontend/engine_session.py
      $<TARGET_FILE:talvoran> $<TARGET_FILE:talvoran-lf> ${CMAKE_CURRENT_SOURCE_DIR}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  set_tests_properties(EngineSession PROPERTIES TIMEOUT 120)
  add_test(NAME MoveJudgePerft
    COMMAND ${Python3_EXECUTABLE} tools/movejudge.py --perft tests/data/perft.epd --depth 3
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  add_test(NAME MoveJudgeRules
    COMMAND ${Python3_EXECUTABLE} tests/tools/movejudge_test.py
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
endif()

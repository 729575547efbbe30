# End-to-end tests of the search through the engine's pipes: self-play on a
# clock with commands sent while it thinks, and a game through PolyGlot.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME SearchEndToEnd
    COMMAND ${Python3_EXECUTABLE} tests/e2e/search_e2e.py $<TARGET_FILE:talvoran>
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  add_test(NAME SearchThroughPolyglot
    COMMAND ${Python3_EXECUTABLE} tests/e2e/polyglot_game.py $<TARGET_FILE:talvoran-lf>
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  set_tests_properties(SearchEndToEnd SearchThroughPolyglot PROPERTIES TIMEOUT 180)
  set_tests_properties(SearchThroughPolyglot PROPERTIES SKIP_RETURN_CODE 77)
endif()

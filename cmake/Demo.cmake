# The bundled demo game: built from demo/ into <build>/demo-game by our own generator.
file(GLOB_RECURSE ORVANE_DEMO_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/demo/*)
set(ORVANE_DEMO_DIR ${CMAKE_BINARY_DIR}/demo-game)
add_custom_command(
  OUTPUT ${ORVANE_DEMO_DIR}/init.def
  COMMAND orvdemo ${CMAKE_SOURCE_DIR}/demo ${ORVANE_DEMO_DIR}
  DEPENDS orvdemo ${ORVANE_DEMO_SOURCES}
  COMMENT "Building the demo game")
add_custom_target(demo ALL DEPENDS ${ORVANE_DEMO_DIR}/init.def)

# The demo plays from start to end headless, answering its questions with their defaults and
# taking its choices through the events file. What it saves goes beside it, so the demo folder
# stays as built for the person who plays it next.
add_test(NAME demo_plays_to_the_end
  COMMAND orvane --headless --events ${CMAKE_SOURCE_DIR}/demo/play-through.events --until-exit 400
    --save-dir ${CMAKE_CURRENT_BINARY_DIR}/demo-test-saves ${ORVANE_DEMO_DIR})
set_tests_properties(demo_plays_to_the_end PROPERTIES
  PASS_REGULAR_EXPRESSION "caption: 体験版　おわり"
  FAIL_REGULAR_EXPRESSION "ファイルの最後まで読みこみました|not supported yet|Sanitizer|runtime error")

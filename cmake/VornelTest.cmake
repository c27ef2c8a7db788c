# add_vornel_test(<name> SOURCES <files...> LIBS <libs...>)
# Builds one Qt Test program and registers it with ctest, headless. What the
# program keeps in the user's data and config folders (the register, the
# options) goes into the build tree.
# The test programs' own code is built unoptimised in every build type: what they
# test, the program's libraries, keeps the build type's flags (Release as
# packaged), and optimising the test code itself took about a third of its
# compile time for nothing a test checks.
function(vornel_test_flags name)
  target_compile_options(${name} PRIVATE -O0)
endfunction()

function(add_vornel_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  vornel_test_flags(${name})
  target_link_libraries(${name} PRIVATE Qt6::Test vornel_testsupport ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;QT_LOGGING_RULES=qt.qpa.*=false;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/dati-prova;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/config-prova;XDG_CONFIG_DIRS=${CMAKE_BINARY_DIR}/config-prova-sistema"
    TIMEOUT 600)
endfunction()

# add_vornel_test_x11(<name> SOURCES <files...> LIBS <libs...> [NO_RUN])
# The same, run on a virtual X server of its own: for what only a real window
# system shows (window buffers, what the server puts on the screen). NO_RUN
# builds the program only, its runs registered with vornel_x11_run.
find_program(VORNEL_XVFB Xvfb REQUIRED)
set(VORNEL_CON_XVFB ${CMAKE_CURRENT_LIST_DIR}/../tests/support/conxvfb.sh)

# vornel_x11_run(<test> <program> [ENV <var=value>...])
# One run of a test program on an X server of its own, under the name <test>.
function(vornel_x11_run test program)
  cmake_parse_arguments(R "" "" "ENV" ${ARGN})
  add_test(NAME ${test} COMMAND ${VORNEL_CON_XVFB} $<TARGET_FILE:${program}>)
  # libxkbcommon-x11 (Qt's keyboard set-up on X11) hands strndup a buffer of
  # known length with no terminator, which AddressSanitizer's strict string
  # checks report as an overflow in the system library.
  set_tests_properties(${test} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=xcb;LC_ALL=C.UTF-8;QT_LOGGING_RULES=qt.qpa.*=false;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/dati-prova;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/config-prova;XDG_CONFIG_DIRS=${CMAKE_BINARY_DIR}/config-prova-sistema;${R_ENV}"
    ENVIRONMENT_MODIFICATION "ASAN_OPTIONS=string_append::strict_string_checks=0"
    TIMEOUT 600)
endfunction()

function(add_vornel_test_x11 name)
  cmake_parse_arguments(T "NO_RUN" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  vornel_test_flags(${name})
  target_link_libraries(${name} PRIVATE Qt6::Test vornel_testsupport ${T_LIBS})
  if(NOT T_NO_RUN)
    vornel_x11_run(${name} ${name})
  endif()
endfunction()

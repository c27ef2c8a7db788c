# A private PostgreSQL started by the tests and the benchmarks of the school's
# server (kept apart from the other test helpers: only those link Qt SQL
# through it). Defined once, by whichever of the two comes first.
if(NOT TARGET vornel_testpg)
  find_package(Qt6 6.4 REQUIRED COMPONENTS Sql Test)
  add_library(vornel_testpg STATIC ${PROJECT_SOURCE_DIR}/tests/support/postgresprivato.cpp
                                   ${PROJECT_SOURCE_DIR}/tests/support/postgresprivato.h)
  target_include_directories(vornel_testpg PUBLIC ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(vornel_testpg PUBLIC vornel_registro Qt6::Sql Qt6::Test)
endif()

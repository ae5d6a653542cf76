include(GoogleTest)

# Sanitizer builds start each process slowly (shadow memory, a leak check at exit): there one
# CTest test runs a whole executable, its cases in one process, rather than one per case.
option(IMAESTROS_TEST_PER_EXECUTABLE "One CTest test per test executable instead of per case" OFF)

# imaestros_add_test(<name> SOURCES <files...> LIBS <targets...> [SERIAL])
# One executable per unit; every GoogleTest case becomes a CTest test (or the executable one,
# see above). SERIAL: its tests stop the PostgreSQL test server, so nothing runs beside them.
function(imaestros_add_test name)
  cmake_parse_arguments(T "SERIAL" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    IMAESTROS_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures"
    IMAESTROS_SCHEMA="${PROJECT_SOURCE_DIR}/schema")
  set(serial "")
  if(T_SERIAL)
    set(serial RUN_SERIAL TRUE)
  endif()
  if(IMAESTROS_TEST_PER_EXECUTABLE)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${serial})
  else()
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${serial}
      DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

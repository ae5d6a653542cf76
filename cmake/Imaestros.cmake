include(GoogleTest)

# imaestros_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One executable per unit; every GoogleTest case becomes a CTest test.
function(imaestros_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    IMAESTROS_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures"
    IMAESTROS_SCHEMA="${PROJECT_SOURCE_DIR}/schema")
  # Tests on the shared PostgreSQL test database must not run at the same time.
  # (every *test_support / *pg_support library reaches it)
  set(lock "")
  set(db_libs ${T_LIBS})
  list(FILTER db_libs INCLUDE REGEX "(test|pg)_support$")
  if(db_libs)
    set(lock RESOURCE_LOCK imaestros_pg)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${lock}
    DISCOVERY_TIMEOUT 60)
endfunction()

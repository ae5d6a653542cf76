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
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()

# Tests of reading and files: the entity walk, the node queries and string
# output, loading, and the self-test.
zgqx_core_test(test_traversal test_traversal.cpp)
zgqx_core_test(test_queries test_queries.cpp)
zgqx_core_test(test_load test_load.cpp)
zgqx_core_test(test_selftest test_selftest.cpp)

# The self-test's walk with failures injected into the calls it makes: its
# calls of these functions are routed to the test's wrappers.
zgqx_core_test(test_selftest_faults test_selftest_faults.cpp)
if(TARGET test_selftest_faults)
  target_link_options(test_selftest_faults PRIVATE
    "LINKER:--wrap=gen__qtxmlif_load"
    "LINKER:--wrap=gen__qtxmlif_begin_traversion"
    "LINKER:--wrap=gen__qtxmlif_has_next_attr"
    "LINKER:--wrap=gen__qtxmlif_get_next_entity"
    "LINKER:--wrap=gen__qtxmlif_end_traversion")
endif()

# examples/xmlwalk, as the README runs it, and built with copy-counting
# low-level functions of its own in place of the stand-in's.
if(TARGET xmlwalk)
  add_executable(xmlwalk_counted ${PROJECT_SOURCE_DIR}/examples/xmlwalk.c xmlwalk_lowlevel.c)
  target_include_directories(xmlwalk_counted PRIVATE ${PROJECT_SOURCE_DIR}/lowlevel)
  target_link_libraries(xmlwalk_counted PRIVATE ZarnetGenQtXml)
  set_target_properties(xmlwalk_counted PROPERTIES C_STANDARD 99 C_EXTENSIONS OFF)
  target_compile_options(xmlwalk_counted PRIVATE -pedantic-errors)
  add_test(NAME xmlwalk_example
    COMMAND ${CMAKE_COMMAND} -DXMLWALK=$<TARGET_FILE:xmlwalk>
            -DXMLWALK_COUNTED=$<TARGET_FILE:xmlwalk_counted>
            -DSAMPLE=${PROJECT_SOURCE_DIR}/examples/sample.xml
            -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/xmlwalk_example
            -P ${CMAKE_CURRENT_SOURCE_DIR}/check_xmlwalk.cmake)
endif()

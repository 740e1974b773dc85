# Tests of issue 4, reading and files: the entity walk, the node queries and
# string output, loading, and the self-test (Parts 3.1, 3.2, 4.1, 4.3).
zgqx_core_test(test_traversal test_traversal.cpp)
zgqx_core_test(test_queries test_queries.cpp)
zgqx_core_test(test_load test_load.cpp)
zgqx_core_test(test_selftest test_selftest.cpp)

# The self-test's walk with failures injected into the calls it makes: its
# calls of these two functions are routed to the test's wrappers.
zgqx_core_test(test_selftest_faults test_selftest_faults.cpp)
if(TARGET test_selftest_faults)
  target_link_options(test_selftest_faults PRIVATE
    "LINKER:--wrap=gen__qtxmlif_has_next_attr"
    "LINKER:--wrap=gen__qtxmlif_get_next_entity")
endif()

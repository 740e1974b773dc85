# Tests of issue 4, reading and files: the entity walk, the node queries and
# string output, loading, and the self-test (Parts 3.1, 3.2, 4.1, 4.3).
zgqx_core_test(test_traversal test_traversal.cpp)
zgqx_core_test(test_queries test_queries.cpp)
zgqx_core_test(test_load test_load.cpp)

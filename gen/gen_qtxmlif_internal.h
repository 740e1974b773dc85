// SPDX-License-Identifier: MIT
/* Functions of the C interface that the library keeps to itself: the walk's
 * look-ahead and the self-test. Not exported. */
#ifndef GEN_QTXMLIF_INTERNAL_H
#define GEN_QTXMLIF_INTERNAL_H

#include "gen_qtxmlif.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Whether the element the walk is in has attributes left to deliver, in the
 * walk's order (answer
 * false at entry). Returns GEN_QTXMLIF_OK, GEN_QTXMLIF_ENOTFOUND, or
 * GEN_QTXMLIF_EINVAL when the walk stands on no element. */
int gen__qtxmlif_has_next_attr(int doc_id, bool *answer);
/* The same for child nodes of any kind. */
int gen__qtxmlif_has_next_child(int doc_id, bool *answer);

/* Builds the sample document and saves it to "D:/temp/test.xml". */
int gen__qtxmlif_selftest_build(void);
/* Loads "D:/temp/test.xml" and prints it entity by entity to standard output. */
int gen__qtxmlif_selftest_walk(void);
/* Runs the two above in turn. */
int gen__qtxmlif_selftest(void);

#ifdef __cplusplus
}
#endif

#endif /* GEN_QTXMLIF_INTERNAL_H */

/* SPDX-License-Identifier: MIT */
/*
 * xmlquery: loads an XML file and prints the nodes below its document element
 * through query handles, one per line, indented by depth, with the value of
 * one attribute where a node has it. On a failure it says what went wrong.
 *
 *     xmlquery FILE.xml [ATTRIBUTE]      (ATTRIBUTE defaults to "id")
 *
 * Ownership, which this example is here to show:
 *  - the handle from gen__qtxmlif_begin_traversion() belongs to the walk and
 *    is never released by the caller;
 *  - every handle from gen__qtxmlif_get_next_child_node() belongs to the
 *    caller. Passing the same variable to the next call releases the handle it
 *    holds; gen__qtxmlif_delete_node() releases the last one;
 *  - every string handed out is released with gen__mem_free().
 */
#include <ZarnetGenQtXml/gen_lowlevel.h>
#include <ZarnetGenQtXml/gen_qtxmlif.h>

#include <stdio.h>

static int print_children(int doc, void *parent, const char *attribute, int depth)
{
    void *child = NULL;
    char *name = NULL;
    int status;

    /* Each call releases the handle that child holds and hands out the next. */
    while ((status = gen__qtxmlif_get_next_child_node(doc, parent, &name, &child)) == GEN_QTXMLIF_OK
        && child != NULL) {
        char *value = NULL;
        bool found = false;

        status = gen__qtxmlif_get_named_attribute(doc, child, attribute, &value, &found);
        if (status == GEN_QTXMLIF_OK) {
            printf("%*s%s", 2 * depth, "", name);
            if (found)
                printf(" %s=\"%s\"", attribute, value);
            putchar('\n');
            status = print_children(doc, child, attribute, depth + 1);
        }
        gen__mem_free(value, 1, __FILE__, __LINE__);
        gen__mem_free(name, 1, __FILE__, __LINE__);
        name = NULL;
        if (status != GEN_QTXMLIF_OK)
            break;
    }
    gen__mem_free(name, 1, __FILE__, __LINE__);
    gen__qtxmlif_delete_node(&child);
    return status;
}

static int fail(const char *what)
{
    const char *message = "";
    int line = 0;
    int column = 0;
    const int status = gen__qtxmlif_last_error(&message, &line, &column);

    fprintf(stderr, "xmlquery: %s: %s (%s", what, message, gen__qtxmlif_status_text(status));
    if (line > 0)
        fprintf(stderr, ", line %d, column %d", line, column);
    fputs(")\n", stderr);
    return 1;
}

int main(int argc, char **argv)
{
    const char *attribute = argc > 2 ? argv[2] : "id";
    int doc = -1;
    void *root = NULL;
    int status;

    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: %s FILE.xml [ATTRIBUTE]\n", argv[0]);
        return 2;
    }
    if (gen__qtxmlif_load(argv[1], &doc) != GEN_QTXMLIF_OK)
        return fail("cannot load");
    status = gen__qtxmlif_begin_traversion(doc, NULL, &root);
    if (status == GEN_QTXMLIF_OK)
        status = print_children(doc, root, attribute, 0);
    gen__qtxmlif_del_document(doc);
    return status == GEN_QTXMLIF_OK ? 0 : fail("cannot query");
}

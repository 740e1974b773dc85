/* SPDX-License-Identifier: MIT */
/*
 * xmlwalk: loads an XML file and prints it entity by entity, each line
 * indented by its depth, the way the library's self-test prints: an element's
 * start with its attributes on one line, each text on a line of its own one
 * tab deeper and after a space, and the element's end.
 *
 *     xmlwalk FILE.xml
 */
#include <gen_lowlevel.h>
#include <gen_qtxmlif.h>

#include <stdio.h>

static void indent(int depth)
{
    for (int i = 0; i < depth; ++i)
        putchar('\t');
}

static void release(char **text)
{
    gen__mem_free(*text, 1, __FILE__, __LINE__);
    *text = NULL;
}

/* Prints the walk; returns 0 or the status code that stopped it. */
static int walk(int doc)
{
    int type = XML_ETYPE_NONE;
    int depth = -1;
    bool end = false;
    char *name = NULL;
    char *value = NULL;
    bool inStartTag = false;
    int status = gen__qtxmlif_begin_traversion(doc, NULL, NULL);

    if (status != GEN_QTXMLIF_OK)
        return status;
    do {
        status = gen__qtxmlif_get_next_entity(doc, &type, &name, &value, &depth, &end);
        if (status != GEN_QTXMLIF_OK && status != GEN_QTXMLIF_END)
            break;
        /* Attributes follow their element's start: finish that line first. */
        if (inStartTag && type != XML_ETYPE_ATTR) {
            fputs(" >\n", stdout);
            inStartTag = false;
        }
        switch (type) {
        case XML_ETYPE_NODE:
            indent(depth);
            if (end) {
                printf("</%s>\n", name);
            } else {
                printf("<%s", name);
                inStartTag = true;
            }
            break;
        case XML_ETYPE_ATTR:
            printf(" %s=\"%s\"", name, value);
            break;
        case XML_ETYPE_TEXT:
            indent(depth);
            printf("\t %s\n", name);
            break;
        default:
            break;
        }
        release(&name);
        release(&value);
    } while (status == GEN_QTXMLIF_OK);
    if (inStartTag)
        fputs(" >\n", stdout);
    release(&name);
    release(&value);
    gen__qtxmlif_end_traversion(doc);
    return status == GEN_QTXMLIF_END ? GEN_QTXMLIF_OK : status;
}

int main(int argc, char **argv)
{
    int doc = -1;
    int status;

    if (argc != 2) {
        fprintf(stderr, "usage: %s FILE.xml\n", argv[0]);
        return 2;
    }
    status = gen__qtxmlif_load(argv[1], &doc);
    if (status != GEN_QTXMLIF_OK) {
        fprintf(stderr, "xmlwalk: cannot load %s (status %d)\n", argv[1], status);
        return 1;
    }
    status = walk(doc);
    gen__qtxmlif_del_document(doc);
    if (status != GEN_QTXMLIF_OK) {
        fprintf(stderr, "xmlwalk: walk of %s failed (status %d)\n", argv[1], status);
        return 1;
    }
    return 0;
}

/*
 * A C99 program against the public header and the shared library with the
 * stand-in low-level library, whose records and status trace on standard
 * error the test matches: one line each, the assertion record followed by the
 * error signal.
 */
#include "gen_lowlevel.h"
#include "gen_qtxmlif.h"

#include <stdio.h>
#include <string.h>

static int failures;
#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);          \
            ++failures;                                                                            \
        }                                                                                          \
    } while (0)

int main(int argc, char **argv)
{
    /* The values are the binary interface: callers compare with literals. */
    const int codes[][2] = { { GEN_QTXMLIF_OK, 0 }, { GEN_QTXMLIF_EINVAL, 14601 },
        { GEN_QTXMLIF_ENODOC, 14603 }, { GEN_QTXMLIF_EOPEN, 14604 }, { GEN_QTXMLIF_ESYNTAX, 14605 },
        { GEN_QTXMLIF_ENOTFOUND, 14606 }, { GEN_QTXMLIF_ESAVE, 14607 }, { GEN_QTXMLIF_END, 14608 },
        { XML_ETYPE_NODE, 1 }, { XML_ETYPE_ATTR, 2 }, { XML_ETYPE_TEXT, 3 }, { XML_ETYPE_NONE, -1 },
        { GEN_QTXMLIF_MAX_DEPTH, 1024 }, { GEN_QTXMLIF_MAX_ATTRIBUTES, 1024 } };
    static const char *const expected[]
        = { "<xmlRoot", "<Kids", "@count=1", "\"hello", "</Kids", "</xmlRoot" };
    char path[4096], entity[64];
    int id = -1, loaded = -1, type = 0, depth = 0, status, i, entities = 0;
    bool end = true;
    char *name = NULL, *value = NULL;
    void *handle = NULL;

    CHECK(gen__qtxmlif_add_node(NULL) == GEN_QTXMLIF_EINVAL);
    CHECK(gen__qtxmlif_end_traversion(4242) == GEN_QTXMLIF_ENOTFOUND);
    status_check("here", 7);
    for (i = 0; i < (int)(sizeof codes / sizeof codes[0]); ++i)
        CHECK(codes[i][0] == codes[i][1]);
    snprintf(path, sizeof path, "%s/c_interface.xml", argc > 1 ? argv[1] : ".");
    /* A process's first document. */
    CHECK(gen__qtxmlif_add_document(&id, "xmlRoot") == GEN_QTXMLIF_OK && id == 1);
    CHECK(gen__qtxmlif_open_node("Kids") == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_add_attr("count", "1") == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_add_text("hello") == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_save(id, path) == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_load(path, &loaded) == GEN_QTXMLIF_OK && loaded == id + 1);
    CHECK(gen__qtxmlif_begin_traversion(loaded, NULL, &handle) == GEN_QTXMLIF_OK && handle);
    do {
        status = gen__qtxmlif_get_next_entity(loaded, &type, &name, &value, &depth, &end);
        snprintf(entity, sizeof entity, "%s%s%s%s",
            type == XML_ETYPE_NODE       ? (end ? "</" : "<")
                : type == XML_ETYPE_ATTR ? "@"
                                         : "\"",
            name, type == XML_ETYPE_ATTR ? "=" : "", value);
        CHECK(entities < 6 && strcmp(entity, expected[entities]) == 0);
        ++entities;
        gen__mem_free(name, 1, __FILE__, __LINE__);
        gen__mem_free(value, 1, __FILE__, __LINE__);
    } while (status == GEN_QTXMLIF_OK);
    CHECK(status == GEN_QTXMLIF_END && entities == 6);
    CHECK(gen__qtxmlif_del_document(loaded) == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_del_document(id) == GEN_QTXMLIF_OK && !gen__qtxmlif_document_exist(id));
    remove(path);
    if (failures == 0)
        printf("c_interface: all checks passed\n");
    return failures;
}

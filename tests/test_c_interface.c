/*
 * A C99 program against the public header and the shared library. Built with
 * OWN_LOWLEVEL it defines the five low-level functions itself, as the
 * framework does, and checks that records and copies reach them; built
 * without, the stand-in's records on standard error are matched by the test.
 */
#include "gen_lowlevel.h"
#include "gen_qtxmlif.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifdef OWN_LOWLEVEL
static int records;
static int signals;
static int copies;

int gen__log_write(const char *category, const char *format, ...)
{
    (void)category;
    (void)format;
    ++records;
    return 0;
}
int gen__err_sound(void)
{
    ++signals;
    return 0;
}
char *gen__str_dup_fn(const char *text, const char *file, int line)
{
    char *copy = malloc(strlen(text) + 1);
    (void)file;
    (void)line;
    ++copies;
    return copy ? strcpy(copy, text) : NULL;
}
void gen__mem_free(void *ptr, int flag, const char *file, int line)
{
    (void)flag;
    (void)file;
    (void)line;
    copies -= ptr != NULL;
    free(ptr);
}
void status_check(const char *file, int line)
{
    (void)file;
    (void)line;
}
#define RECORDS(r, s) (records == (r) && signals == (s))
#else
#define RECORDS(r, s) 1
#endif

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
    char path[4096];
    char entity[64];
    int id = -1, loaded = -1, type = 0, depth = 0, status, i, entities = 0;
    bool end = true;
    char *name = NULL, *value = NULL;
    void *handle = NULL;

    /* First, in this order: the stand-in's two record forms. */
    CHECK(gen__qtxmlif_add_node(NULL) == GEN_QTXMLIF_EINVAL);
    CHECK(RECORDS(1, 1));
    CHECK(gen__qtxmlif_end_traversion(4242) == GEN_QTXMLIF_ENOTFOUND);
    CHECK(RECORDS(2, 1));

    for (i = 0; i < (int)(sizeof codes / sizeof codes[0]); ++i)
        CHECK(codes[i][0] == codes[i][1]);
    snprintf(path, sizeof path, "%s/c_interface_%d.xml", argc > 1 ? argv[1] : ".", RECORDS(2, 1));
    CHECK(gen__qtxmlif_add_document(&id, "xmlRoot") == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_document_exist(id));
    CHECK(gen__qtxmlif_add_node("Kids") == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_open_level() == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_add_attr("count", "1") == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_add_text("hello") == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_save(id, path) == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_load(path, &loaded) == GEN_QTXMLIF_OK);
    CHECK(loaded == id + 1);
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
    CHECK(gen__qtxmlif_del_document(id) == GEN_QTXMLIF_OK);
    CHECK(!gen__qtxmlif_document_exist(id));
#ifdef OWN_LOWLEVEL
    CHECK(copies == 0 && RECORDS(2, 1));
#endif
    remove(path);
    if (failures == 0)
        printf("c_interface: all checks passed\n");
    return failures == 0 ? 0 : 1;
}

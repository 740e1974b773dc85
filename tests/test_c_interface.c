/*
 * A C99 program against the public header and the shared library. It defines
 * the five low-level functions itself, as the framework does, and checks that
 * the library's records and copies reach them instead of the stand-in's.
 */
#include "gen_lowlevel.h"
#include "gen_qtxmlif.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int records;
static int signals;
static int copies;
static char lastCategory[32];

int gen__log_write(const char *category, const char *format, ...)
{
    (void)format;
    ++records;
    snprintf(lastCategory, sizeof lastCategory, "%s", category);
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
    if (ptr != NULL)
        --copies;
    free(ptr);
}

void status_check(const char *file, int line)
{
    (void)file;
    (void)line;
}

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
    char path[4096];
    int id = -1;
    int loaded = -1;
    int type = 0;
    int depth = 0;
    bool end = true;
    char *name = NULL;
    char *value = NULL;
    void *handle = NULL;
    int entities = 0;
    int status;

    snprintf(path, sizeof path, "%s/c_interface.xml", argc > 1 ? argv[1] : ".");

    CHECK(gen__qtxmlif_add_document(&id, "xmlRoot") == GEN_QTXMLIF_OK);
    CHECK(id > 0);
    CHECK(gen__qtxmlif_document_exist(id));
    CHECK(gen__qtxmlif_add_node("Kids") == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_open_level() == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_add_attr("count", "1") == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_add_text("hello") == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_close_level() == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_save(id, path) == GEN_QTXMLIF_OK);
    CHECK(records == 0 && signals == 0);

    /* A failure reaches this program's gen__log_write and gen__err_sound. */
    CHECK(gen__qtxmlif_add_node(NULL) == GEN_QTXMLIF_EINVAL);
    CHECK(records == 1 && signals == 1 && strcmp(lastCategory, "INTERNAL") == 0);
    CHECK(gen__qtxmlif_end_traversion(id + 100) == GEN_QTXMLIF_ENOTFOUND);
    CHECK(records == 2 && signals == 1 && strcmp(lastCategory, "ERROR") == 0);

    CHECK(gen__qtxmlif_load(path, &loaded) == GEN_QTXMLIF_OK);
    CHECK(loaded == id + 1);
    CHECK(gen__qtxmlif_begin_traversion(loaded, NULL, &handle) == GEN_QTXMLIF_OK);
    CHECK(handle != NULL);
    do {
        status = gen__qtxmlif_get_next_entity(loaded, &type, &name, &value, &depth, &end);
        if (type != XML_ETYPE_NONE)
            ++entities;
        gen__mem_free(name, 1, __FILE__, __LINE__);
        gen__mem_free(value, 1, __FILE__, __LINE__);
    } while (status == GEN_QTXMLIF_OK);
    CHECK(status == GEN_QTXMLIF_END);
    /* xmlRoot, Kids, count, hello, /Kids, /xmlRoot */
    CHECK(entities == 6);
    CHECK(copies == 0);
    CHECK(gen__qtxmlif_end_traversion(loaded) == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_del_document(loaded) == GEN_QTXMLIF_OK);
    CHECK(gen__qtxmlif_del_document(id) == GEN_QTXMLIF_OK);
    CHECK(!gen__qtxmlif_document_exist(id));

    remove(path);
    if (failures == 0)
        printf("c_interface: all checks passed\n");
    return failures == 0 ? 0 : 1;
}

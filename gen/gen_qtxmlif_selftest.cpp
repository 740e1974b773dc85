// SPDX-License-Identifier: MIT
// The library's self-test: builds a sample document through the C interface,
// saves it, loads it back and prints it entity by entity, as a caller would.

#include "LogRecord.h"
#include "gen_qtxmlif_internal.h"

#include <cstdio>

namespace {

const char sampleFile[] = "D:/temp/test.xml";

} // namespace

// Passes a non-zero status up at once, tracing where it came from.
#define ZGQX_CHECKED(call)                                                                         \
    do {                                                                                           \
        const int status_ = (call);                                                                \
        if (status_ != GEN_QTXMLIF_OK) {                                                           \
            status_check(ZGQX_SOURCE_PATH, __LINE__);                                              \
            return status_;                                                                        \
        }                                                                                          \
    } while (0)

int gen__qtxmlif_selftest_build(void)
{
    int docID = -1;
    ZGQX_CHECKED(gen__qtxmlif_add_document(&docID, "xmlRoot"));

    ZGQX_CHECKED(gen__qtxmlif_add_node("Personal_Details"));
    ZGQX_CHECKED(gen__qtxmlif_open_level());
    ZGQX_CHECKED(gen__qtxmlif_add_attr("First_Name", "Anna"));
    ZGQX_CHECKED(gen__qtxmlif_add_attr("Last_Name", "Berger"));

    ZGQX_CHECKED(gen__qtxmlif_add_node("Kids"));
    ZGQX_CHECKED(gen__qtxmlif_open_level());

    ZGQX_CHECKED(gen__qtxmlif_add_node("kid"));
    ZGQX_CHECKED(gen__qtxmlif_open_level());
    ZGQX_CHECKED(gen__qtxmlif_add_text("Likes to sing in the garden."));
    ZGQX_CHECKED(gen__qtxmlif_add_attr("Friend_1", "Lena"));
    ZGQX_CHECKED(gen__qtxmlif_add_attr("Friend_2", "Tom"));
    ZGQX_CHECKED(gen__qtxmlif_add_text(" LaLaLa..."));
    ZGQX_CHECKED(gen__qtxmlif_close_level());

    ZGQX_CHECKED(gen__qtxmlif_add_node("kid"));
    ZGQX_CHECKED(gen__qtxmlif_open_level());
    ZGQX_CHECKED(gen__qtxmlif_add_attr("First_Name", "Max"));
    ZGQX_CHECKED(gen__qtxmlif_close_level());

    ZGQX_CHECKED(gen__qtxmlif_add_node("kid"));
    ZGQX_CHECKED(gen__qtxmlif_open_level());
    ZGQX_CHECKED(gen__qtxmlif_add_attr("First_Name", "Mia"));
    ZGQX_CHECKED(gen__qtxmlif_close_level());

    ZGQX_CHECKED(gen__qtxmlif_close_level());
    ZGQX_CHECKED(gen__qtxmlif_close_level());

    ZGQX_CHECKED(gen__qtxmlif_save(docID, sampleFile));
    ZGQX_CHECKED(gen__qtxmlif_del_document(docID));
    return GEN_QTXMLIF_OK;
}

// The same, releasing two strings of the walk first.
#define ZGQX_CHECKED_RELEASING(call, first, second)                                                \
    do {                                                                                           \
        const int status_ = (call);                                                                \
        if (status_ != GEN_QTXMLIF_OK) {                                                           \
            release(&(first));                                                                     \
            release(&(second));                                                                    \
            status_check(ZGQX_SOURCE_PATH, __LINE__);                                              \
            return status_;                                                                        \
        }                                                                                          \
    } while (0)

namespace {

void printIndent(int depth)
{
    for (int i = 0; i < depth; ++i)
        std::fputs("\t", stdout);
}

void release(char **text)
{
    gen__mem_free(*text, 1, ZGQX_SOURCE_PATH, __LINE__);
    *text = nullptr;
}

} // namespace

int gen__qtxmlif_selftest_walk(void)
{
    int docID = -1;
    ZGQX_CHECKED(gen__qtxmlif_load(sampleFile, &docID));
    if (docID < 0) {
        ZGQX_ASSERTION_RECORD("docID >= 0");
        return GEN_QTXMLIF_EOPEN;
    }

    void *handle = nullptr;
    int status = gen__qtxmlif_begin_traversion(docID, nullptr, &handle);
    if (status != GEN_QTXMLIF_OK) {
        status_check(ZGQX_SOURCE_PATH, __LINE__);
        gen__log_write("ERROR", "Traversion Process Failed for XML document: %s", sampleFile);
        gen__qtxmlif_del_document(docID);
        return status;
    }

    int entityType = XML_ETYPE_NONE;
    char *name = nullptr;
    char *value = nullptr;
    int depth = -1;
    bool endFlag = false;
    status = gen__qtxmlif_get_next_entity(docID, &entityType, &name, &value, &depth, &endFlag);
    while (status == GEN_QTXMLIF_OK) {
        printIndent(depth);
        if (entityType == XML_ETYPE_NODE && endFlag) {
            std::printf("</%s>\n", name);
        } else if (entityType == XML_ETYPE_NODE) {
            std::printf("<%s", name);
            // Each way out of this loop releases the strings held: the
            // document and its walk are left as they are, no copy leaks.
            bool more = false;
            ZGQX_CHECKED_RELEASING(gen__qtxmlif_has_next_attr(docID, &more), name, value);
            while (more) {
                release(&name);
                release(&value);
                status = gen__qtxmlif_get_next_entity(
                    docID, &entityType, &name, &value, &depth, &endFlag);
                if (status != GEN_QTXMLIF_OK) {
                    release(&name);
                    release(&value);
                    ZGQX_ASSERTION_RECORD("status == 0");
                    return GEN_QTXMLIF_EINVAL;
                }
                if (entityType != XML_ETYPE_ATTR) {
                    release(&name);
                    release(&value);
                    ZGQX_ASSERTION_RECORD("entityType == XML_ETYPE_ATTR");
                    return GEN_QTXMLIF_EINVAL;
                }
                std::printf(" %s=\"%s\"", name, value);
                ZGQX_CHECKED_RELEASING(gen__qtxmlif_has_next_attr(docID, &more), name, value);
            }
            std::printf(" >\n");
        } else if (entityType == XML_ETYPE_TEXT) {
            std::printf("\t %s\n", name);
        }
        release(&name);
        release(&value);

        status = gen__qtxmlif_get_next_entity(docID, &entityType, &name, &value, &depth, &endFlag);
        if (status == GEN_QTXMLIF_END && depth >= 0 && entityType != XML_ETYPE_NONE)
            std::printf("</%s>\n", name);
    }
    release(&name);
    release(&value);

    status = gen__qtxmlif_end_traversion(docID);
    if (status != GEN_QTXMLIF_OK) {
        status_check(ZGQX_SOURCE_PATH, __LINE__);
        gen__qtxmlif_del_document(docID);
        return status;
    }
    ZGQX_CHECKED(gen__qtxmlif_del_document(docID));
    return GEN_QTXMLIF_OK;
}

int gen__qtxmlif_selftest(void)
{
    ZGQX_CHECKED(gen__qtxmlif_selftest_build());
    ZGQX_CHECKED(gen__qtxmlif_selftest_walk());
    return GEN_QTXMLIF_OK;
}

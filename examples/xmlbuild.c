/* SPDX-License-Identifier: MIT */
/*
 * xmlbuild: builds a small document through the C interface and saves it.
 *
 *     xmlbuild OUTPUT.xml
 */
#include <gen_qtxmlif.h>

#include <stdio.h>

/* Stops at the first failing call, reporting its status code. */
#define TRY(call)                                                                                  \
    do {                                                                                           \
        int status_ = (call);                                                                      \
        if (status_ != GEN_QTXMLIF_OK) {                                                           \
            fprintf(stderr, "xmlbuild: %s failed with status %d\n", #call, status_);               \
            return status_;                                                                        \
        }                                                                                          \
    } while (0)

static int build(const char *path)
{
    int doc = -1;
    TRY(gen__qtxmlif_add_document(&doc, "xmlRoot"));
    TRY(gen__qtxmlif_open_node("Personal_Details"));
    TRY(gen__qtxmlif_add_attr("First_Name", "Anna"));
    TRY(gen__qtxmlif_add_attr("Last_Name", "Berger"));
    TRY(gen__qtxmlif_open_node("Kids"));
    TRY(gen__qtxmlif_add_node("kid"));
    TRY(gen__qtxmlif_open_level());
    TRY(gen__qtxmlif_add_attr("First_Name", "Max"));
    TRY(gen__qtxmlif_add_text("Plays the drums."));
    TRY(gen__qtxmlif_close_level());
    TRY(gen__qtxmlif_add_node("kid"));
    TRY(gen__qtxmlif_open_level());
    TRY(gen__qtxmlif_add_attr("First_Name", "Mia"));
    TRY(gen__qtxmlif_close_level());
    TRY(gen__qtxmlif_close_node()); /* Kids */
    TRY(gen__qtxmlif_close_node()); /* Personal_Details */
    TRY(gen__qtxmlif_save(doc, path));
    TRY(gen__qtxmlif_del_document(doc));
    return 0;
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT.xml\n", argv[0]);
        return 2;
    }
    return build(argv[1]) == 0 ? 0 : 1;
}

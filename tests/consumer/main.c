/* SPDX-License-Identifier: MIT */
#include <ZarnetGenQtXml/gen_lowlevel.h>
#include <ZarnetGenQtXml/gen_qtxmlif.h>

#include <stdio.h>
#include <string.h>

/* The C interface needs nothing from Qt, and must not be handed Qt's flags. */
#if defined(QT_CORE_LIB) || defined(QT_XML_LIB) || __has_include(<QtCore/qglobal.h>)
#error "a C program was given Qt's compile flags or include path"
#endif

int main(void)
{
    int id = -1;
    char *text = NULL;
    const char *message = NULL;
    if (gen__qtxmlif_version() != GEN_QTXMLIF_VERSION_NUMBER)
        return 1;
    if (gen__qtxmlif_add_document(&id, "installed") != GEN_QTXMLIF_OK
        || gen__qtxmlif_add_node("child") != GEN_QTXMLIF_OK)
        return 2;
    if (gen__qtxmlif_doc_to_utf8(id, &text) != GEN_QTXMLIF_OK
        || strcmp(text, "<installed>\n  <child/>\n</installed>\n") != 0)
        return 3;
    gen__mem_free(text, 1, __FILE__, __LINE__);
    if (gen__qtxmlif_del_document(id) != GEN_QTXMLIF_OK
        || gen__qtxmlif_del_document(id) != GEN_QTXMLIF_ENODOC
        || gen__qtxmlif_last_error(&message, NULL, NULL) != GEN_QTXMLIF_ENODOC)
        return 4;
    printf("consumer: ok (%s: %s)\n", gen__qtxmlif_status_text(GEN_QTXMLIF_ENODOC), message);
    return 0;
}

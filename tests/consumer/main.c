#include <gen_lowlevel.h>
#include <gen_qtxmlif.h>

#include <stdio.h>

int main(void)
{
    int id = -1;
    if (gen__qtxmlif_add_document(&id, "installed") != GEN_QTXMLIF_OK)
        return 1;
    if (gen__qtxmlif_add_node("child") != GEN_QTXMLIF_OK)
        return 2;
    if (gen__qtxmlif_del_document(id) != GEN_QTXMLIF_OK)
        return 3;
    puts("consumer: ok");
    return 0;
}

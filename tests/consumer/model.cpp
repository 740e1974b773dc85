// SPDX-License-Identifier: MIT
// The model classes through ZarnetGenQtXml::Model; the older include form too.
#include <ZarnetGenQtXml/DomModel.h>
#include <gen_qtxmlif.h>

#include <QDomDocument>
#include <QString>

#include <cstdio>

int main()
{
    QDomDocument document;
    document.setContent(QStringLiteral("<a><b/></a>"));
    DomModel model(document, nullptr);
    int id = -1;
    if (gen__qtxmlif_add_document(&id, "x") != GEN_QTXMLIF_OK)
        return 1;
    QString text;
    if (gen__qtxmlif_doc_to_string(id, &text) != GEN_QTXMLIF_OK || text.isEmpty())
        return 2;
    std::printf("consumer_model: %d rows\n", model.rowCount(QModelIndex()));
    return model.rowCount(QModelIndex()) == 1 ? 0 : 3;
}

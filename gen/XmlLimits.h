#ifndef ZGQX_XMLLIMITS_H
#define ZGQX_XMLLIMITS_H

#include <QByteArray>

// A quick scan of XML text, ahead of the DOM parse, for elements nested deeper
// than GEN_QTXMLIF_MAX_DEPTH or carrying more than GEN_QTXMLIF_MAX_ATTRIBUTES
// attributes. It only counts: well-formedness is left to the parser.
namespace XmlLimits {

// False when an element passes a limit; line and column (1-based) then give
// the position of that element's '<'.
bool check(const QByteArray &xml, int *line, int *column);

} // namespace XmlLimits

#endif // ZGQX_XMLLIMITS_H

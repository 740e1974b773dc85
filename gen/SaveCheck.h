// SPDX-License-Identifier: MIT
#ifndef ZGQX_SAVECHECK_H
#define ZGQX_SAVECHECK_H

#include <QString>

class AttributeOrder;
class QDomDocument;

// The check a save makes before it writes anything: names are taken as given
// when a document is built, so a document can hold what no XML reader would
// load back. One pass over the element tree.
namespace SaveCheck {

struct Offence
{
    enum Kind {
        None,
        BadName, // not an XML name, or more than one colon
        UnboundPrefix, // a prefix that no namespace declaration in scope binds
        BadCharacter, // a character XML 1.0 does not allow, in a text or value
    };
    Kind kind = None;
    // The name, or for a character its code point and where it stands.
    QString what;
};

// The first name or character of the document that XML cannot store, in
// document order, an element's attributes in the order order gives them;
// kind None when there is none.
Offence firstOffence(const QDomDocument &document, AttributeOrder &order);

// Quick tests of what a builder adds, so that a document built of nothing
// else needs no pass at all: an XML name without a colon (a prefix needs
// the scope it stands in), and text of characters XML allows, without
// surrogates (pairs are left to the pass).
bool isPlainName(QStringView name);
bool isPlainText(QStringView text);

} // namespace SaveCheck

#endif // ZGQX_SAVECHECK_H

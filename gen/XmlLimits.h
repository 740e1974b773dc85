// SPDX-License-Identifier: MIT
#ifndef ZGQX_XMLLIMITS_H
#define ZGQX_XMLLIMITS_H

#include "LoadOutcome.h"

class QByteArray;
class QIODevice;
struct SourceTags;

// Reading XML text for the DOM parser, with a quick scan of what has arrived
// for data that can be no XML (a NUL character, anything but markup after
// leading blanks) and for elements nested deeper than GEN_QTXMLIF_MAX_DEPTH
// or carrying more than GEN_QTXMLIF_MAX_ATTRIBUTES attributes. It only counts
// and looks: well-formedness is left to the parser.
namespace XmlLimits {

// Reads device to its end into xml, in growing blocks, and stops at the first
// block in which the scan refuses the data: an endless device full of
// anything but XML costs one block. False when reading stopped early or
// failed; outcome then holds the cause and the position of the refusal
// (1-based, counted in the file's code units), and xml what was read.
// Unless tags is null, the names of the start tags' attributes are noted in
// it on the way.
bool read(QIODevice *device, QByteArray *xml, LoadOutcome *outcome, SourceTags *tags = nullptr);

} // namespace XmlLimits

#endif // ZGQX_XMLLIMITS_H

// SPDX-License-Identifier: MIT
#ifndef ZGQX_LOADOUTCOME_H
#define ZGQX_LOADOUTCOME_H

#include <QString>

// What became of a load: the cause of a failure, and the parser's message
// and error position (or ours, when reading stopped before the parser could
// be asked), kept together so that whoever reports the failure finds all of
// it in one place.
struct LoadOutcome
{
    enum Cause {
        Loaded,
        NoId, // every document ID is used up
        Unreadable, // the device failed while being read
        NotWellFormed, // not XML: refused by the parser or stopped while reading
        PastLimits, // nested deeper or with more attributes than allowed
    };

    Cause cause = Loaded;
    int documentId = -1;
    QString message;
    // 1-based; 0 when the failure has no position.
    int line = 0;
    int column = 0;

    bool loaded() const { return cause == Loaded; }
};

#endif // ZGQX_LOADOUTCOME_H

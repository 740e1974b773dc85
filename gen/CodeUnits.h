// SPDX-License-Identifier: MIT
#ifndef ZGQX_CODEUNITS_H
#define ZGQX_CODEUNITS_H

#include <QtGlobal>

// The code units of an XML text as read: bytes, or those of a UTF-16 or
// UTF-32 text, in the text's byte order.
template<int Width, bool BigEndian>
struct Units
{
    const uchar *data;

    char32_t operator[](qsizetype i) const
    {
        if constexpr (Width == 1) {
            return data[i];
        } else {
            const uchar *unit = data + i * Width;
            char32_t c = 0;
            for (int k = 0; k < Width; ++k)
                c = (c << 8) | unit[BigEndian ? k : Width - 1 - k];
            return c;
        }
    }
};

#endif // ZGQX_CODEUNITS_H

/* SPDX-License-Identifier: MIT */
/* Symbol visibility for ZarnetGenQtXml: the library is built with hidden
 * visibility, and only what carries this mark is exported. */
#ifndef ZARNETGENQTXML_EXPORT_H
#define ZARNETGENQTXML_EXPORT_H

#if defined(_WIN32)
#define ZARNETGENQTXML_EXPORT
#define ZARNETGENQTXML_NO_EXPORT
#else
#define ZARNETGENQTXML_EXPORT __attribute__((visibility("default")))
/* For private members of exported classes: they stay out of the ABI. */
#define ZARNETGENQTXML_NO_EXPORT __attribute__((visibility("hidden")))
#endif

#endif /* ZARNETGENQTXML_EXPORT_H */

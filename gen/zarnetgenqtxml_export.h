/* Symbol visibility for ZarnetGenQtXml: the library is built with hidden
 * visibility, and only what carries this mark is exported. */
#ifndef ZARNETGENQTXML_EXPORT_H
#define ZARNETGENQTXML_EXPORT_H

#if defined(_WIN32)
#define ZARNETGENQTXML_EXPORT
#else
#define ZARNETGENQTXML_EXPORT __attribute__((visibility("default")))
#endif

#endif /* ZARNETGENQTXML_EXPORT_H */

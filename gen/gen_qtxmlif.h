/* SPDX-License-Identifier: MIT */
/**
 * @file gen_qtxmlif.h
 * @brief Flat C interface to in-memory XML documents (ZarnetGenQtXml).
 *
 * A caller creates or loads a document and receives an integer document ID.
 * Documents are built top-down on the "working document" without holding any
 * node, walked entity by entity or moved through with cursor handles, rendered
 * as a string, saved and deleted.
 *
 * Conventions that hold for every function below:
 *
 *  - Status codes: functions that can fail return 0 (GEN_QTXMLIF_OK) or one of
 *    the GEN_QTXMLIF_E* codes below. Every failure writes one record through
 *    gen__log_write() (see gen_lowlevel.h): an assertion record
 *    ("INTERNAL", "(%s) at %s %d\n") for invalid arguments and refused
 *    operations, followed by gen__err_sound(), or an error record ("ERROR",
 *    no signal) for missing documents, file errors and documents that cannot
 *    be saved. Callers' log tools
 *    match these texts; each function below names its own. Exceptions: a
 *    gen__qtxmlif_begin_traversion() whose start name is not found fails
 *    with no record, and GEN_QTXMLIF_END is no failure and writes none.
 *    gen__qtxmlif_last_error() reads the detail of the last failure without
 *    parsing records.
 *
 *  - Out of memory: any function that returns int can return
 *    GEN_QTXMLIF_EINVAL with the error record "out of memory in %s" (the
 *    function's name); gen__qtxmlif_document_exist() returns false then, and
 *    the void functions return after writing it.
 *
 *  - Pointer rule: a pointer argument counts as given only when its value is
 *    greater than 1000; 0 to 1000 count as "not given". Outputs are written only
 *    through given pointers, and are set to their documented entry value before
 *    anything can fail.
 *
 *  - Strings passed in are read as UTF-8 (Qt's conversion for C strings).
 *    Strings handed out are copies made by gen__str_dup_fn() in the process's
 *    local 8-bit encoding (gen__qtxmlif_doc_to_utf8(): UTF-8); the caller owns
 *    each one and releases it with gen__mem_free(ptr, 1, __FILE__, __LINE__),
 *    empty ones included. The texts of gen__qtxmlif_status_text() and
 *    gen__qtxmlif_last_error() belong to the library and are not released.
 *
 *  - Names are not validated as XML names when they are added;
 *    gen__qtxmlif_save() checks them, and every character of texts and
 *    values, before it writes anything.
 *
 *  - Attribute order: every element's attributes keep document order, the
 *    order of the file for a loaded document and the order of their first
 *    gen__qtxmlif_add_attr() for a built one (setting one again changes its
 *    value, not its place). The walk, gen__qtxmlif_doc_to_string() and
 *    gen__qtxmlif_save() all follow it, so the same document gives the same
 *    bytes in every process, whatever QT_HASH_SEED is. Attributes a DTD adds
 *    by default follow the file's, ordered by name.
 *
 *  - Cursor handles (void *) are values of the library's own, not addresses:
 *    never dereference one. No value is handed out twice within a process, so
 *    a handle that is released, ended with its walk or left behind by a
 *    deleted document never stands for another cursor; the queries refuse it
 *    with GEN_QTXMLIF_EINVAL, as they refuse values they never handed out.
 *
 *  - Calls are not thread-safe: the library keeps process-wide state and expects
 *    one call at a time.
 */
#ifndef GEN_QTXMLIF_H
#define GEN_QTXMLIF_H

#include "zarnetgenqtxml_export.h"

#ifndef __cplusplus
#include <stdbool.h>
#endif

#ifdef __cplusplus
class QString;
/** The string that gen__qtxmlif_doc_to_string() fills. */
typedef QString gen_qtxmlif_qstring;
extern "C" {
#else
/** A QString, opaque to C callers. */
typedef void gen_qtxmlif_qstring;
#endif

/* ---- Version ------------------------------------------------------------ */

/** Major version of this header; gen__qtxmlif_version() gives the library's. */
#define GEN_QTXMLIF_VERSION_MAJOR 1
/** Minor version of this header: grows when functions are added. */
#define GEN_QTXMLIF_VERSION_MINOR 1
/** Patch version of this header. */
#define GEN_QTXMLIF_VERSION_PATCH 0
/** MAJOR * 10000 + MINOR * 100 + PATCH, e.g. 10100 for 1.1.0. */
#define GEN_QTXMLIF_VERSION_NUMBER                                                                 \
    (GEN_QTXMLIF_VERSION_MAJOR * 10000 + GEN_QTXMLIF_VERSION_MINOR * 100                           \
        + GEN_QTXMLIF_VERSION_PATCH)

/* ---- Status codes ------------------------------------------------------- */

/** Success. */
#define GEN_QTXMLIF_OK 0
/** Invalid argument, or the operation could not be carried out. */
#define GEN_QTXMLIF_EINVAL 14601
/** The document is missing: no working document, no document removed, or no
 * file at the path given to gen__qtxmlif_load(). */
#define GEN_QTXMLIF_ENODOC 14603
/** The file exists but could not be opened for reading, or failed while it
 * was read. */
#define GEN_QTXMLIF_EOPEN 14604
/** The file is not well-formed XML, or passes GEN_QTXMLIF_MAX_DEPTH or
 * GEN_QTXMLIF_MAX_ATTRIBUTES. */
#define GEN_QTXMLIF_ESYNTAX 14605
/** No live document has the ID given. */
#define GEN_QTXMLIF_ENOTFOUND 14606
/** The file could not be opened or written for saving, or the document holds
 * a name or a character that XML cannot store. */
#define GEN_QTXMLIF_ESAVE 14607
/** Not a failure: the entity walk has ended. */
#define GEN_QTXMLIF_END 14608

/* ---- Entity types reported by gen__qtxmlif_get_next_entity() ------------- */

/** Start or end of an element; the end flag tells which. */
#define XML_ETYPE_NODE 1
/** One attribute of the element whose start was delivered last. */
#define XML_ETYPE_ATTR 2
/** One text piece (text or CDATA section) of the element the walk is in. */
#define XML_ETYPE_TEXT 3
/** No entity was delivered by this call. */
#define XML_ETYPE_NONE (-1)

/* ---- Limits on loaded files ---------------------------------------------- */

/** Deepest element nesting a loaded file may have; the document element is
 * level 1. */
#define GEN_QTXMLIF_MAX_DEPTH 1024
/** Most attributes one element of a loaded file may carry. */
#define GEN_QTXMLIF_MAX_ATTRIBUTES 1024

/* ---- Documents ------------------------------------------------------------ */

/**
 * Creates a document holding one document element and makes it the working
 * document.
 * @param[out] doc_id  receives the new ID (1, 2, 3, ... in creation order,
 *                     never reused); may be not given
 * @param root_name    name of the document element; NULL or "" gives "root"
 * @return GEN_QTXMLIF_OK, or GEN_QTXMLIF_EINVAL when no document could be
 *         created (IDs used up, out of memory).
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_add_document(int *doc_id, const char *root_name);

/**
 * Makes doc_id the working document. A negative or unknown ID leaves no
 * working document. Writes no record.
 * @param doc_id  the document to work on
 */
ZARNETGENQTXML_EXPORT void gen__qtxmlif_set_working_document(int doc_id);

/**
 * Deletes a document, its DOM tree and its traversal. Cursor handles the caller
 * still holds on it stay the caller's to release with gen__qtxmlif_delete_node(),
 * but the queries refuse them from now on. Deleting any document leaves no
 * working document.
 * @param doc_id  the document to delete
 * @return GEN_QTXMLIF_OK (also for -1, which names no document), or
 *         GEN_QTXMLIF_ENODOC when no document has that ID.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_del_document(int doc_id);

/**
 * Tells whether a live document has doc_id.
 * @param doc_id  the ID to look for
 * @return true when a live document has doc_id. A negative ID returns false
 *         after an assertion record.
 */
ZARNETGENQTXML_EXPORT bool gen__qtxmlif_document_exist(int doc_id);

/* ---- Building (on the working document) ---------------------------------- */

/*
 * The builder appends at the working document's current level, which starts at
 * the document element. gen__qtxmlif_open_level() descends into the element
 * added last; gen__qtxmlif_close_level() returns to the level saved by the
 * matching open. Once a traversal has begun on a document, every builder call
 * on it fails with GEN_QTXMLIF_EINVAL.
 *
 * All builder functions return GEN_QTXMLIF_OK, GEN_QTXMLIF_EINVAL (empty name or
 * text, or the operation refused) or GEN_QTXMLIF_ENODOC (no working document).
 */

/**
 * Appends element node_name to the current level; the level does not move.
 * @param node_name  name of the element
 * @return GEN_QTXMLIF_OK, GEN_QTXMLIF_EINVAL or GEN_QTXMLIF_ENODOC, as for
 *         every builder function.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_add_node(const char *node_name);

/**
 * Appends an element and makes it the current level. The name is trimmed and
 * its inner spaces become underscores.
 * @param node_name  name of the element
 * @return GEN_QTXMLIF_OK, GEN_QTXMLIF_EINVAL or GEN_QTXMLIF_ENODOC.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_open_node(const char *node_name);

/**
 * Same as gen__qtxmlif_close_level().
 * @return GEN_QTXMLIF_OK, GEN_QTXMLIF_EINVAL or GEN_QTXMLIF_ENODOC.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_close_node(void);

/**
 * Sets attribute attr_name on the current level's element, replacing the one
 * whose whole name (prefix included) is attr_name: "version" and "ink:version"
 * are two attributes, also on a loaded element. A new attribute comes after
 * the element's others, a replaced one keeps its place (also when set after
 * the element's children).
 * @param attr_name   name of the attribute
 * @param attr_value  its value, read in the local 8-bit encoding; NULL gives ""
 * @return GEN_QTXMLIF_OK, GEN_QTXMLIF_EINVAL or GEN_QTXMLIF_ENODOC.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_add_attr(const char *attr_name, const char *attr_value);

/**
 * Appends a text node to the current level's element.
 * @param text_val  the text
 * @return GEN_QTXMLIF_OK, GEN_QTXMLIF_EINVAL or GEN_QTXMLIF_ENODOC.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_add_text(const char *text_val);

/**
 * Makes the element added last the current level, saving the previous one.
 * Changes nothing when no element was added since creation or the last open.
 * @return GEN_QTXMLIF_OK, GEN_QTXMLIF_EINVAL or GEN_QTXMLIF_ENODOC.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_open_level(void);

/**
 * Returns to the saved level. Fails at the bottom level.
 * @return GEN_QTXMLIF_OK, GEN_QTXMLIF_EINVAL or GEN_QTXMLIF_ENODOC.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_close_level(void);

/* ---- Entity traversal ------------------------------------------------------ */

/**
 * Begins a walk of a document and makes it the working document. The walk
 * delivers, in document order: the start of each element, its attributes (in
 * document order, see the conventions above), its text pieces (CDATA sections
 * count as text) and child elements, and its end.
 * Comments and processing instructions are skipped. Beginning a walk ends
 * building on that document for good, and discards an earlier walk.
 * @param doc_id           the document
 * @param start_node_name  NULL, "" or the document element's name: the walk
 *                         stands before the document element, whose start is
 *                         the first entity delivered. Otherwise the walk is
 *                         advanced past the start of the first element of that
 *                         name (exact match, document order): that start is
 *                         consumed, and the first entity delivered is the
 *                         element's first attribute, else its first child,
 *                         else its end. The walk then continues to the end of
 *                         the document.
 * @param[out] node_ptr    cursor handle of the start element, set to NULL at
 *                         entry. Owned by the walk: never pass it to
 *                         gen__qtxmlif_delete_node(). Valid until the walk
 *                         delivers that element's end, is ended or begun again,
 *                         or the document is deleted.
 * @return GEN_QTXMLIF_OK, GEN_QTXMLIF_ENOTFOUND, or GEN_QTXMLIF_EINVAL (no
 *         element of that name; no record is written and no walk is left).
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_begin_traversion(
    int doc_id, const char *start_node_name, void **node_ptr);

/**
 * Advances the walk by one entity and reports it.
 * When the document is found, name and value always receive copies (empty
 * when nothing was delivered) that the caller releases with gen__mem_free().
 * @param doc_id            the document
 * @param[out] entity_type  XML_ETYPE_*; -1 at entry
 * @param[out] name         element or attribute name, or the text; NULL at entry
 * @param[out] value        attribute value, else ""; NULL at entry
 * @param[out] depth        depth of the element concerned (document element 0);
 *                          -1 at entry
 * @param[out] end_flag     true for an element end; false at entry
 * @return GEN_QTXMLIF_OK; GEN_QTXMLIF_END with the end of the document element,
 *         and on every later call with XML_ETYPE_NONE; or GEN_QTXMLIF_ENOTFOUND.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_get_next_entity(
    int doc_id, int *entity_type, char **name, char **value, int *depth, bool *end_flag);

/**
 * Ends the walk of a document (also when none runs).
 * @param doc_id  the document
 * @return GEN_QTXMLIF_OK or GEN_QTXMLIF_ENOTFOUND.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_end_traversion(int doc_id);

/* ---- Node queries and string output ---------------------------------------- */

/**
 * Hands out a handle on the next child node of parent that is not text
 * (elements, comments and processing instructions). It shares its position
 * with the walk when parent is the walk's handle.
 * @param doc_id           the document
 * @param parent           a cursor handle; not given (up to 1000) finds
 *                         nothing; a given value that is no live handle is
 *                         refused
 * @param[out] child_name  copy of the child's node name, NULL at entry and when
 *                         there is no further child
 * @param[in,out] child    a query handle it holds at entry is released first;
 *                         receives the new handle, NULL when there is none. The
 *                         new handle belongs to the caller (see
 *                         gen__qtxmlif_delete_node()).
 * @return GEN_QTXMLIF_OK (also when no child is left), GEN_QTXMLIF_ENOTFOUND,
 *         or GEN_QTXMLIF_EINVAL with an assertion record: "(*child != parent)
 *         && !isTraversalHandle(*child)" when *child holds parent itself or a
 *         walk's handle (nothing is released then), or "isLiveHandle(parent)"
 *         when parent is given but no live handle (after *child was released;
 *         the document is not looked up).
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_get_next_child_node(
    int doc_id, void *parent, char **child_name, void **child);

/**
 * Hands out a handle on the first child node of parent whose name is
 * child_name (exact match, any node kind).
 * @param doc_id         the document
 * @param parent         a cursor handle, as for
 *                       gen__qtxmlif_get_next_child_node()
 * @param child_name     the name to look for
 * @param[in,out] child  as for gen__qtxmlif_get_next_child_node()
 * @param[out] depth     the child's depth, -1 at entry and when nothing is found
 * @return GEN_QTXMLIF_OK (also when nothing is found, or child_name is NULL or
 *         empty, which is checked before parent), GEN_QTXMLIF_ENOTFOUND, or
 *         GEN_QTXMLIF_EINVAL as above.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_get_named_child_node(
    int doc_id, void *parent, const char *child_name, void **child, int *depth);

/**
 * Reads attribute attr_name of the element node_ptr stands on. The whole name
 * is compared, prefix included, as the walk reports it: "version" does not find
 * "ink:version", nor the other way round.
 * The handle is checked first; only then are value (NULL) and found (false)
 * set at entry.
 * @param doc_id      the document
 * @param node_ptr    a cursor handle; required
 * @param attr_name   the attribute's name
 * @param[out] value  copy of the value, "" when not found (release it either
 *                    way)
 * @param[out] found  whether the attribute exists
 * @return
 *   - GEN_QTXMLIF_OK: value holds a copy and found is set
 *   - GEN_QTXMLIF_EINVAL: node_ptr not given or no live handle (assertion
 *     record "((unsigned int)(node_ptr) > 1000)"); value and found are
 *     untouched, the document not looked up
 *   - GEN_QTXMLIF_ENOTFOUND: no such document ("XML document ID %d not
 *     found"); value is NULL and found false
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_get_named_attribute(
    int doc_id, void *node_ptr, const char *attr_name, char **value, bool *found);

/**
 * Releases a query handle and sets *node to NULL. Does nothing for NULL, for a
 * walk's handle and for values that are no query handle, a released one
 * included: releasing a handle twice never touches another.
 * @param[in,out] node  the variable that holds the handle
 */
ZARNETGENQTXML_EXPORT void gen__qtxmlif_delete_node(void **node);

/**
 * Replaces *qstring_ptr with the document's text, indented by 2, as
 * QDomDocument::toString(2) gives it but with the attributes in document order.
 * A built document's text has no XML declaration; a loaded document's starts
 * with the declaration its file had, encoding name included, although the
 * string is Unicode. Does not change the working document. C callers use
 * gen__qtxmlif_doc_to_utf8().
 * @param doc_id            the document
 * @param[out] qstring_ptr  the caller's QString
 * @return GEN_QTXMLIF_OK, GEN_QTXMLIF_EINVAL (qstring_ptr not given) or
 *         GEN_QTXMLIF_ENOTFOUND.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_doc_to_string(int doc_id, gen_qtxmlif_qstring *qstring_ptr);

/* ---- Files ------------------------------------------------------------------ */

/**
 * Loads an XML file into a new document, which becomes the working document.
 * What the document holds is what Qt's DOM parser makes of the file, with
 * namespace processing on: text that is only whitespace is dropped,
 * namespace declarations are not attributes of their elements (names keep
 * their prefixes), external entities and DTDs are not read, and nesting and
 * attribute counts are held to the limits above.
 * The file is read as bytes, in blocks, and reading stops at the first block
 * that shows the data can be no XML (a NUL character, anything but markup
 * after leading blanks, an element past the limits above): a device or FIFO
 * that never ends, or sends anything but XML, costs one block, not all
 * memory. A FIFO that sends a document and closes loads like a file.
 * On ESYNTAX and EOPEN after opening the ID is used up and there is no
 * working document afterwards.
 * @param file_path  path of the file
 * @param[out] doc   untouched when the path is NULL or empty; otherwise -1 at
 *                   entry, and the new ID on success
 * @return
 *   - GEN_QTXMLIF_OK
 *   - GEN_QTXMLIF_ENODOC: path NULL or empty (assertion record), or no such
 *     file ("Unable to find document: %s")
 *   - GEN_QTXMLIF_EOPEN: cannot be opened ("Unable to open document: %s") or
 *     failed while read ("Unable to read document: %s")
 *   - GEN_QTXMLIF_ESYNTAX: not well-formed, or past the limits above ("XML
 *     document syntax error in file: %s\nError found in line %d, column
 *     %d.\n", the parser's position, or that of the refused data);
 *     gen__qtxmlif_last_error() gives the parser's message or the limit
 *   - GEN_QTXMLIF_EINVAL: no document ID is left (the assertion record of
 *     gen__qtxmlif_add_document())
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_load(const char *file_path, int *doc);

/**
 * Writes a document to a file: the line "<?xml version='1.0' encoding='UTF-8'?>"
 * and then the document indented by 4, in UTF-8 (a declaration the document
 * carries from its own file is not repeated), as QDomDocument::save() writes
 * it but with the attributes in document order. An existing regular file is
 * replaced only once everything was written and synced, and the directory
 * is synced after the replacement; a device or FIFO is written in place.
 * Before anything is written, every element and attribute name must be an
 * XML name with at most one colon (beyond ASCII, also one that Qt's reader,
 * which loads the file back, takes: it refuses some newer name characters
 * such as U+2040 and those from U+10000 on), whose prefix is bound by an "xmlns:prefix"
 * attribute on the element or an ancestor or by a namespace the node has
 * from its file ("xml" is always bound), and every character of texts and
 * attribute values must be one XML 1.0 allows.
 * @param doc_id     the document
 * @param file_path  path of the file to write
 * @return
 *   - GEN_QTXMLIF_OK
 *   - GEN_QTXMLIF_ENOTFOUND: no such document ("XML document ID %d not
 *     found"); the file is untouched
 *   - GEN_QTXMLIF_ESAVE: the first name or character that fails the check
 *     above, in document order (an element's attributes in the order the walk
 *     gives them): "XML document ID %d holds a name XML cannot
 *     store: %s", "... holds a name whose prefix is not declared: %s" or "...
 *     holds a character XML cannot store: %s" (code point, position and
 *     place); the file is untouched. Or the file cannot be opened ("Unable to
 *     open file for saving : %s") or written ("error saving XML document:
 *     %s"); an existing file is kept whole.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_save(int doc_id, const char *file_path);

/* ---- Diagnostics and version ----------------------------------------------- */

/**
 * Names a status code in English, e.g. "the document is missing" for
 * GEN_QTXMLIF_ENODOC. Writes no record.
 * @param status  any value
 * @return a static text, "unknown status code" for a value that is no status
 *         code. Never NULL; the caller does not release it.
 */
ZARNETGENQTXML_EXPORT const char *gen__qtxmlif_status_text(int status);

/**
 * Reads the detail of the last failed call in the process: a call that
 * returned a status other than GEN_QTXMLIF_OK and GEN_QTXMLIF_END, or
 * gen__qtxmlif_document_exist() after an assertion record. Calls that succeed
 * leave it as it is, and so does this function. Each output may be not given.
 * Writes no record.
 * @param[out] message  UTF-8 text of the failure, "" before the first one: the
 *                      record's message (the failed check, for assertion
 *                      records), followed by the system's reason for file
 *                      failures ("...: Permission denied"). For a file that is
 *                      not well-formed it is the parser's message, and for a
 *                      file past GEN_QTXMLIF_MAX_DEPTH or
 *                      GEN_QTXMLIF_MAX_ATTRIBUTES it names that limit (the
 *                      record says "syntax error" all the same). A failure
 *                      without a record (gen__qtxmlif_begin_traversion() with
 *                      a start name not found) gives gen__qtxmlif_status_text()
 *                      of its status. At most 1023 bytes; longer texts are
 *                      cut. The text belongs to the library and stays valid
 *                      until the next call of this library that fails; copy
 *                      it to keep it.
 * @param[out] line     for a file that is not well-formed or past a limit, the
 *                      line of the failure (1-based), else 0
 * @param[out] column   its column (1-based), else 0
 * @return the status code of the last failure (GEN_QTXMLIF_EINVAL for
 *         gen__qtxmlif_document_exist()), or GEN_QTXMLIF_OK when no call has
 *         failed yet.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_last_error(const char **message, int *line, int *column);

/**
 * Hands out the document's text as gen__qtxmlif_doc_to_string() gives it,
 * encoded as UTF-8 whatever the local 8-bit encoding. Does not change the
 * working document.
 * @param doc_id     the document
 * @param[out] text  NULL at entry; on success a copy made by gen__str_dup_fn()
 *                   that the caller owns and releases with gen__mem_free()
 * @return GEN_QTXMLIF_OK; GEN_QTXMLIF_EINVAL (text not given: assertion record
 *         "((unsigned int)(text) > 1000)"; or no memory for the copy: error
 *         record "out of memory in gen__qtxmlif_doc_to_utf8"); or
 *         GEN_QTXMLIF_ENOTFOUND (error record "XML document ID %d not found").
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_doc_to_utf8(int doc_id, char **text);

/**
 * Gives the library's version, which a program can compare with the header it
 * was built with. Writes no record.
 * @return the version as GEN_QTXMLIF_VERSION_NUMBER encodes it.
 */
ZARNETGENQTXML_EXPORT int gen__qtxmlif_version(void);

#ifdef __cplusplus
}
#endif

#endif /* GEN_QTXMLIF_H */

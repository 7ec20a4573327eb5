#pragma once
// Builds an element tree from an XML file with expat. Names, values and text
// arrive as UTF-8 and are stored as UTF-16.

#include "catalogue/xml_tree.h"

#include <QByteArrayView>
#include <QString>
#include <vector>

class QIODevice;
struct XmlTreeParser;

// Documents nested deeper than this are refused as malformed, so that no
// recursive walk of a tree can exhaust the stack.
constexpr int kXmlMaxDepth = 512;
// Bytes handed to expat at a time.
constexpr qint64 kXmlChunkSize = 50000;

XmlTreeParser *xml_parser_new();
// Called for every element as soon as its start tag is read, with its
// attributes in place and its children not yet read (document order). The
// hook may change the element's attributes.
using XmlElementHook = void (*)(void *context, XmlElement *element);
void xml_parser_set_element_hook(XmlTreeParser *parser, XmlElementHook hook, void *context);
int xml_parser_parse_file(XmlTreeParser *parser, const QString &path);
int xml_parser_parse_stream(XmlTreeParser *parser, QIODevice &stream);
// The document built so far; the caller takes ownership.
XmlDocument *xml_parser_document(XmlTreeParser *parser);
// Why the last parse failed ("line 3: not well-formed"), empty after success.
QString xml_parser_error_text(const XmlTreeParser *parser);
void xml_parser_free(XmlTreeParser *parser);

// Reading without a tree: for readers that need only the attributes of each
// element. The hook is called for every start tag, in document order, with
// the element's name and its attributes as expat gives them (UTF-8; name,
// value, name, value, ..., null). The file is read and checked exactly as
// xml_parse_file reads it (the same refusals, the same depth limit, the same
// error texts); true when it is well-formed.
using XmlStartTagHook = void (*)(void *context, const char *name, const char **attributes);
bool xml_scan_file(const QString &path, QString *errorText, XmlStartTagHook hook, void *context);
// The same, also handing the hook the line of each start tag (from 1), as
// expat counts it.
using XmlStartTagLineHook = void (*)(void *context, const char *name, const char **attributes, unsigned long line);
bool xml_scan_file_lines(const QString &path, QString *errorText, XmlStartTagLineHook hook, void *context);
// The same over bytes held in memory: `pieces` one after another are the
// document. No errors are reported but failure (a caller that needs them
// reads the file).
bool xml_scan_pieces(const std::vector<QByteArrayView> &pieces, XmlStartTagHook hook, void *context);
// A UTF-8 text from expat as a string without spare capacity (the form the
// parser stores values in).
QString xml_text_from_utf8(const char *utf8);

// Builds the tree as xml_parse_file does, without the root's children: each
// child's start tag goes to `child` (name and attributes as xml_scan_file
// gives them) instead of into the tree, and the root's start tag to `root`.
// For documents whose root holds only empty elements: a child with an
// element or text of its own, or a `child` that returns false, stops the
// parse; null is returned then, with *refused set (a malformed file gives
// null with *refused false and the reason in *errorText).
using XmlChildTagHook = bool (*)(void *context, const char *name, const char **attributes);
XmlDocument *xml_parse_file_without_children(const QString &path, QString *errorText, XmlElementHook root,
                                             XmlChildTagHook child, void *context, bool *refused);

// Convenience: parse a whole file; null on failure (error code set, and the
// reason in *errorText when given).
XmlDocument *xml_parse_file(const QString &path, QString *errorText = nullptr, XmlElementHook hook = nullptr,
                           void *context = nullptr);

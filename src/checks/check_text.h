#pragma once
// Pieces of text the built-in checks share: which characters are spaces or
// invisible, accelerator marks, placeholders, URLs, and the quoting of texts
// in messages. Texts are in memory form (a line break is the escape "\n").

#include <QString>
#include <utility>
#include <vector>

// A space of any width: U+0020, the no-break spaces (U+00A0, U+202F), the
// typographic spaces U+2000 to U+200A, U+205F and the ideographic space.
// Not a tab, and not the zero-width space.
bool IsCheckSpace(QChar c);
// A character that shows nothing: control characters (tab included),
// zero-width characters, directional marks and embeddings, the soft hyphen,
// U+FEFF.
bool IsInvisibleCharacter(QChar c);
// "U+200B (zero-width space)" and the like, for messages.
QString InvisibleCharacterName(QChar c);
// Full-width punctuation of Chinese and Japanese (U+3000 to U+303F and the
// punctuation of U+FF01 to U+FF65).
bool IsFullWidthPunctuation(QChar c);

// Where the white space at the end of a text starts, and where the white
// space at its start ends: spaces of any width, real tabs and line breaks,
// and the escapes \n and \r. The white space is given in *normalised with
// every space as " " and each line break as a real one, for comparison.
qsizetype TrailingSpaceStart(QStringView text, QString *normalised = nullptr);
qsizetype LeadingSpaceEnd(QStringView text, QString *normalised = nullptr);

// The accelerator marks of a text: each "&" followed by a character other
// than "&" or a space ("&&" is a literal ampersand), as the positions of
// the "&".
std::vector<qsizetype> AcceleratorMarks(QStringView text);
// The length of an accelerator group "(&F)" (or with full-width brackets)
// starting at `at`, or 0.
qsizetype AcceleratorGroupAt(QStringView text, qsizetype at);

// Stretches [start, end) of a text that are code rather than words or
// numbers: placeholders of the code type and positional printf placeholders
// ("%1$s"), numbered ones ("%1") in either style, and URLs and mail
// addresses.
using TextSpans = std::vector<std::pair<qsizetype, qsizetype>>;
TextSpans CodeSpans(QStringView text, int codeType);

// A positional printf placeholder ("%1$s", "%2$-10d") at `at` (a "%"): its
// length, or 0.
qsizetype PositionalPlaceholderAt(QStringView text, qsizetype at);

// The URLs ("http://...", "www....", "mailto:...") and mail addresses of a
// text, without the punctuation that ends a sentence after them.
struct TextLink {
    qsizetype start = 0, length = 0;
    QString text;   // as written
    QString match;  // as compared: scheme and host in lower case
};
std::vector<TextLink> FindLinks(QStringView text);

// A text quoted for a message: "…" around it, invisible characters shown
// as \uXXXX.
QString QuoteForMessage(QStringView text);
// The stretch of text around [at, at + length), at most `margin`
// characters either side (cut at a space where it can), quoted.
QString ExcerptForMessage(QStringView text, qsizetype at, qsizetype length, qsizetype margin = 12);
// "a, b and c".
QString JoinForMessage(const QStringList &items);
// "3 is missing from the translation; 5 is new", "3 and 4 are missing from
// the translation", "5 is new in the translation"; empty when both lists are.
QString MissingAndNewMessage(const QStringList &missing, const QStringList &added);

#pragma once
// Random language files of entry elements for the tests of flat reading.

#include "test_support.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>
#include <iterator>

// What may make a file need its tree (all but an empty key do).
enum class Oddity { None, NestedElement, ElementText, OtherName, OtherAttribute, NoOriginal, EmptyOriginal,
                    EmptyKey, RootText, ChildNamedLanguage, OtherRoot, Count };

inline const char *const kFlatOriginals[] = {"Open",       "Open/nfile", "Save &amp; exit", "&lt;none&gt;", "Close",
                                  "%s of %d",   "\xef\xbb\xbfOpen", "\xf0\x9f\x98\x80 smile",
                                  "Tab&#9;here", "a &quot;quoted&quot; word", "Ende/r/n"};
inline const char *const kFlatTranslations[] = {"",    "Open",          "\xc3\x96" "ffnen", "Zu",          "&quot;x&quot;",
                                     "/r/n", "Open\\nfile", "\xef\xbb\xbf", "Schlie&#223;en", "&lt;keine&gt;"};

inline QByteArray attribute(const char *name, const QByteArray &value) { return ' ' + QByteArray(name) + "=\"" + value + '"'; }

// A language file of entry elements: originals repeat (so later elements
// replace untranslated entries and keys pile up), attributes come in any
// order, some are missing. One oddity, when asked for, is put in somewhere.
inline QByteArray randomFile(QRandomGenerator &random, int lines, Oddity oddity)
{
    QList<QByteArray> body;
    const int oddLine = random.bounded(lines);
    for (int i = 0; i < lines; ++i) {
        QList<QByteArray> attributes;
        attributes << attribute("from", kFlatOriginals[random.bounded(int(std::size(kFlatOriginals)))]);
        if (random.bounded(6))
            attributes << attribute("to", kFlatTranslations[random.bounded(int(std::size(kFlatTranslations)))]);
        if (random.bounded(5))
            attributes << attribute("key", "K" + QByteArray::number(random.bounded(30)));
        if (random.bounded(7) == 0)
            attributes << attribute("IsTrans", random.bounded(3) ? "false" : "true");
        for (qsizetype k = attributes.size() - 1; k > 0; --k)
            attributes.swapItemsAt(k, random.bounded(int(k + 1)));
        QByteArray name = "L";
        QByteArray end = "/>";
        if (i == oddLine) {
            switch (oddity) {
            case Oddity::NestedElement: end = "><L from=\"Inner\" to=\"Innen\"/></L>"; break;
            case Oddity::ElementText: end = ">text</L>"; break;
            case Oddity::OtherName: name = "M"; break;
            case Oddity::OtherAttribute: attributes << attribute("note", "x"); break;
            case Oddity::NoOriginal: attributes.removeIf([](const QByteArray &a) { return a.startsWith(" from="); }); break;
            case Oddity::EmptyOriginal:  // a lone byte order mark reads as nothing too
                attributes = {attribute("from", random.bounded(2) ? "" : "\xef\xbb\xbf"), attribute("to", "x")};
                break;
            case Oddity::EmptyKey: attributes = {attribute("from", "Unique"), attribute("key", "")}; break;
            case Oddity::ChildNamedLanguage: name = "Language"; break;
            default: break;
            }
        }
        if (i > 0 && random.bounded(30) == 0)
            end += " <!-- a note -->";  // comments are dropped either way
        body << "<" + name + attributes.join() + end;
    }
    QByteArray root = random.bounded(2) ? "AllowLength=\"1.25\" CodeType=\"QT\"" : "";
    if (random.bounded(4) == 0)
        root = "Owner=\"a &amp; b\" " + root;
    QByteArray file = languageFile(root, body);
    if (oddity == Oddity::RootText)
        file.replace("</Language>", "stray text</Language>");
    if (oddity == Oddity::OtherRoot)
        file.replace("<Language", "<Strings").replace("</Language>", "</Strings>");
    if (random.bounded(10) == 0)
        file.replace("   <L", "\t<L");  // indentation is not kept
    return file;
}

#include "merge/merge_conflicts.h"

#include "catalogue/safe_file.h"
#include "merge/file_layout.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int kConflictsFormat = 1;

const char *kindName(MergeConflict::Kind kind)
{
    switch (kind) {
    case MergeConflict::Kind::Attribute:
        return "attribute";
    case MergeConflict::Kind::Setting:
        return "setting";
    case MergeConflict::Kind::Removal:
        return "removal";
    }
    return "attribute";
}

QJsonValue jsonOf(const std::optional<QString> &value) { return value ? QJsonValue(*value) : QJsonValue(); }

QJsonObject jsonOf(const EntryLocation &location)
{
    return {{QStringLiteral("original"), location.original},
            {QStringLiteral("key"), location.key},
            {QStringLiteral("occurrence"), location.occurrence}};
}

void putLocation(QJsonObject &object, const EntryLocation &location)
{
    const QJsonObject fields = jsonOf(location);
    for (auto it = fields.begin(); it != fields.end(); ++it)
        object.insert(it.key(), it.value());
}

bool readLocation(const QJsonObject &object, EntryLocation *location)
{
    const QJsonValue original = object.value(QStringLiteral("original")), key = object.value(QStringLiteral("key"));
    const QJsonValue occurrence = object.value(QStringLiteral("occurrence"));
    if (!original.isString() || !key.isString() || !occurrence.isDouble())
        return false;
    *location = {original.toString(), key.toString(), occurrence.toInt()};
    return true;
}

bool readValue(const QJsonObject &object, const char *name, std::optional<QString> *value)
{
    const QJsonValue field = object.value(QLatin1String(name));
    if (field.isNull()) {
        *value = std::nullopt;
        return true;
    }
    if (!field.isString())
        return false;
    *value = field.toString();
    return true;
}

bool readConflict(const QJsonObject &object, MergeConflict *conflict)
{
    const QString kind = object.value(QStringLiteral("kind")).toString();
    if (kind == u"attribute")
        conflict->kind = MergeConflict::Kind::Attribute;
    else if (kind == u"setting")
        conflict->kind = MergeConflict::Kind::Setting;
    else if (kind == u"removal")
        conflict->kind = MergeConflict::Kind::Removal;
    else
        return false;
    if (!readValue(object, "base", &conflict->base) || !readValue(object, "ours", &conflict->ours)
        || !readValue(object, "theirs", &conflict->theirs))
        return false;
    if (conflict->kind != MergeConflict::Kind::Removal) {
        const QJsonValue attribute = object.value(QStringLiteral("attribute"));
        if (!attribute.isString())
            return false;
        conflict->attribute = attribute.toString();
    }
    if (conflict->kind == MergeConflict::Kind::Setting)
        return true;
    if (!readLocation(object, &conflict->location))
        return false;
    if (conflict->kind == MergeConflict::Kind::Removal) {
        conflict->inFile = object.value(QStringLiteral("inFile")).toBool(true);
        const QJsonValue after = object.value(QStringLiteral("after"));
        if (after.isObject()) {
            EntryLocation location;
            if (!readLocation(after.toObject(), &location))
                return false;
            conflict->after = location;
        }
    }
    return true;
}

// An attribute value as it is written between double quotes.
QByteArray quotedValue(const QString &value)
{
    QByteArray out = "\"";
    for (const char c : value.toUtf8()) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            out += c;
        }
    }
    return out + '"';
}

// The start tag with one attribute set to a value or (null) taken out.
QByteArray withAttribute(QByteArrayView tag, const QString &name, const std::optional<QString> &value)
{
    const TagShape shape = ShapeOfTag(tag);
    const QByteArray wanted = name.toUtf8();
    for (const TagAttribute &attribute : shape.attributes) {
        if (tag.sliced(attribute.nameBegin, attribute.nameEnd - attribute.nameBegin) != wanted)
            continue;
        QByteArray out = tag.first(value ? attribute.valueBegin : attribute.spaceBegin).toByteArray();
        if (value)
            out += quotedValue(*value);
        out += tag.sliced(attribute.valueEnd);
        return out;
    }
    if (!value)
        return tag.toByteArray();
    const qsizetype last = shape.attributes.empty() ? shape.nameEnd : shape.attributes.back().valueEnd;
    QByteArray out = tag.first(last).toByteArray() + ' ' + wanted + '=' + quotedValue(*value);
    out += tag.sliced(last);
    return out;
}

int findElement(const std::vector<EntryLocation> &locations, const EntryLocation &location)
{
    for (std::size_t i = 0; i < locations.size(); ++i) {
        if (locations[i] == location)
            return int(i);
    }
    return -1;
}

// The white space a new element gets before it: a line end and the
// indentation of the element it follows.
QByteArray leadLike(const LanguageFileLayout &layout, int element)
{
    QByteArray indentation = "   ";
    if (!layout.elements.empty()) {
        const QByteArrayView lead = layout.view(layout.elements[std::size_t(std::max(element, 0))].lead);
        const qsizetype newline = lead.lastIndexOf('\n');
        if (newline >= 0)
            indentation = lead.sliced(newline + 1).toByteArray();
    }
    return layout.lineEnd + indentation;
}

} // namespace

QString ConflictsFilePath(const QString &languageFile) { return languageFile + QStringLiteral(".conflicts"); }

QByteArray ConflictsToJson(const ConflictsFile &file)
{
    QJsonArray list;
    for (const MergeConflict &conflict : file.conflicts) {
        QJsonObject object{{QStringLiteral("kind"), QLatin1String(kindName(conflict.kind))}};
        if (conflict.kind != MergeConflict::Kind::Removal)
            object.insert(QStringLiteral("attribute"), conflict.attribute);
        if (conflict.kind == MergeConflict::Kind::Removal)
            object.insert(QStringLiteral("inFile"), conflict.inFile);
        if (conflict.kind != MergeConflict::Kind::Setting)
            putLocation(object, conflict.location);
        if (conflict.kind == MergeConflict::Kind::Removal && !conflict.inFile)
            object.insert(QStringLiteral("after"), conflict.after ? QJsonValue(jsonOf(*conflict.after)) : QJsonValue());
        object.insert(QStringLiteral("base"), jsonOf(conflict.base));
        object.insert(QStringLiteral("ours"), jsonOf(conflict.ours));
        object.insert(QStringLiteral("theirs"), jsonOf(conflict.theirs));
        list.append(object);
    }
    const QJsonObject root{{QStringLiteral("rendaroConflicts"), kConflictsFormat},
                           {QStringLiteral("file"), file.file},
                           {QStringLiteral("conflicts"), list}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool ConflictsFromJson(const QByteArray &json, ConflictsFile *file, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull()) {
        *error = QStringLiteral("not JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset);
        return false;
    }
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("rendaroConflicts")).toInt() != kConflictsFormat
        || !root.value(QStringLiteral("conflicts")).isArray()) {
        *error = QStringLiteral("not a conflicts file of this version of Rendaro");
        return false;
    }
    *file = ConflictsFile();
    file->file = root.value(QStringLiteral("file")).toString();
    const QJsonArray list = root.value(QStringLiteral("conflicts")).toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        MergeConflict conflict;
        if (!list[i].isObject() || !readConflict(list[i].toObject(), &conflict)) {
            *error = QStringLiteral("conflict %1 is not well-formed").arg(i + 1);
            return false;
        }
        file->conflicts.push_back(std::move(conflict));
    }
    return true;
}

bool ReadConflictsFile(const QString &path, ConflictsFile *file, QString *error)
{
    QByteArray bytes;
    return ReadRegularFile(path, &bytes, error) && ConflictsFromJson(bytes, file, error);
}

bool WriteConflictsFile(const QString &path, const ConflictsFile &file, QString *error)
{
    return writeFileAtomically(path, ConflictsToJson(file), error);
}

bool ApplyConflictChoice(QByteArray &bytes, const MergeConflict &conflict, ConflictChoice choice,
                         const QString &edited, QString *error, ElementShift *shift)
{
    LanguageFileLayout layout;
    QString reason;
    if (!ReadLanguageFileLayout(bytes, &layout, &reason)) {
        *error = QStringLiteral("the merged file is not a language file: %1").arg(reason);
        return false;
    }
    const std::optional<QString> value = choice == ConflictChoice::Base   ? conflict.base
                                         : choice == ConflictChoice::Ours ? conflict.ours
                                         : choice == ConflictChoice::Theirs
                                             ? conflict.theirs
                                             : std::optional<QString>(edited);
    const std::vector<EntryLocation> locations = EntryLocations(layout);
    ElementShift moved;
    QByteArray text = layout.text;
    auto replace = [&text](const Span &span, const QByteArray &with) {
        text.replace(span.begin, span.size(), with);
    };
    qsizetype expectedElements = qsizetype(layout.elements.size());
    if (conflict.kind == MergeConflict::Kind::Setting) {
        replace(layout.rootStart, withAttribute(layout.view(layout.rootStart), conflict.attribute, value));
    } else if (conflict.kind == MergeConflict::Kind::Attribute) {
        const int at = findElement(locations, conflict.location);
        if (at < 0) {
            *error = QStringLiteral("the merged file holds no element \"%1\"").arg(conflict.location.original);
            return false;
        }
        if (conflict.attribute.startsWith(u'(')) {
            *error = QStringLiteral("the content of an element is resolved by editing the file");
            return false;
        }
        const LayoutElement &element = layout.elements[std::size_t(at)];
        const Span tag{element.element.begin, element.startTagEnd};
        replace(tag, withAttribute(layout.view(tag), conflict.attribute, value));
    } else if (conflict.inFile) {
        const int at = findElement(locations, conflict.location);
        if (at < 0) {
            *error = QStringLiteral("the merged file holds no element \"%1\"").arg(conflict.location.original);
            return false;
        }
        const LayoutElement &element = layout.elements[std::size_t(at)];
        if (value) {
            replace(element.element, value->toUtf8());
        } else {
            replace({element.lead.begin, element.element.end}, QByteArray());
            moved.removed = at;
            --expectedElements;
        }
    } else if (value) {
        int after = -1;
        if (conflict.after) {
            after = findElement(locations, *conflict.after);
            if (after < 0) {
                *error = QStringLiteral("the merged file holds no element \"%1\"").arg(conflict.after->original);
                return false;
            }
        }
        if (layout.rootIsEmpty) {
            *error = QStringLiteral("the merged file has no entries to put the element among");
            return false;
        }
        const qsizetype at = after >= 0                 ? layout.elements[std::size_t(after)].element.end
                             : layout.elements.empty() ? layout.rootStart.end
                                                       : layout.elements.front().lead.begin;
        text.insert(at, leadLike(layout, after) + value->toUtf8());
        moved.inserted = after + 1;
        ++expectedElements;
    }
    const QByteArray result = EncodeFileText(text, layout.encoding);
    LanguageFileLayout check;
    if (!ReadLanguageFileLayout(result, &check, &reason) || qsizetype(check.elements.size()) != expectedElements) {
        *error = reason.isEmpty() ? QStringLiteral("the markup is not one <L> element")
                                  : QStringLiteral("the result would not be a language file: %1").arg(reason);
        return false;
    }
    bytes = result;
    if (shift)
        *shift = moved;
    return true;
}

bool ResolveConflict(const QString &languageFile, int index, ConflictChoice choice, const QString &edited,
                     QString *error)
{
    const QString conflictsPath = ConflictsFilePath(languageFile);
    ConflictsFile file;
    if (!ReadConflictsFile(conflictsPath, &file, error))
        return false;
    if (index < 0 || std::size_t(index) >= file.conflicts.size()) {
        *error = QStringLiteral("there is no conflict %1").arg(index + 1);
        return false;
    }
    QByteArray bytes;
    if (!ReadRegularFile(languageFile, &bytes, error))
        return false;
    LanguageFileLayout before;
    QString reason;
    if (!ReadLanguageFileLayout(bytes, &before, &reason)) {
        *error = reason;
        return false;
    }
    // The elements the other conflicts name, by number, to name them again afterwards.
    const std::vector<EntryLocation> locations = EntryLocations(before);
    struct Named {
        int element = -1, after = -1;
    };
    std::vector<Named> named(file.conflicts.size());
    for (std::size_t i = 0; i < file.conflicts.size(); ++i) {
        const MergeConflict &c = file.conflicts[i];
        if (c.kind != MergeConflict::Kind::Setting && c.inFile)
            named[i].element = findElement(locations, c.location);
        if (c.after)
            named[i].after = findElement(locations, *c.after);
    }
    ElementShift shift;
    if (!ApplyConflictChoice(bytes, file.conflicts[std::size_t(index)], choice, edited, error, &shift))
        return false;
    LanguageFileLayout after;
    ReadLanguageFileLayout(bytes, &after, &reason);
    const std::vector<EntryLocation> moved = EntryLocations(after);
    auto follow = [&shift](int element) {
        if (element < 0 || element == shift.removed)
            return -1;
        if (shift.removed >= 0 && element > shift.removed)
            --element;
        if (shift.inserted >= 0 && element >= shift.inserted)
            ++element;
        return element;
    };
    ConflictsFile left{file.file, {}};
    for (std::size_t i = 0; i < file.conflicts.size(); ++i) {
        if (int(i) == index)
            continue;
        MergeConflict c = file.conflicts[i];
        if (named[i].element >= 0) {
            const int element = follow(named[i].element);
            if (element < 0)
                continue;  // its element was taken out: nothing left to decide
            c.location = moved[std::size_t(element)];
        }
        if (named[i].after >= 0) {
            const int element = follow(named[i].after);
            if (element >= 0)
                c.after = moved[std::size_t(element)];
        }
        left.conflicts.push_back(std::move(c));
    }
    if (!writeFileAtomically(languageFile, bytes, error))
        return false;
    if (left.conflicts.empty()) {
        if (!QFile::remove(conflictsPath)) {
            *error = QStringLiteral("%1 could not be removed").arg(conflictsPath);
            return false;
        }
        return true;
    }
    return WriteConflictsFile(conflictsPath, left, error);
}

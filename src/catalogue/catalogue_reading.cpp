// Reading language files into catalogues: the rules that turn elements into
// entries, over a tree or straight from the parser's start tags.

#include "catalogue/catalogue_reading.h"

#include "catalogue/file_text.h"
#include "catalogue/safe_file.h"
#include "catalogue/xml_escape.h"
#include "catalogue/xml_parser.h"
#include "catalogue/xml_tree.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

namespace {

const QString kLanguageName = QStringLiteral("Language");
const QString kFalseText = QStringLiteral("false");

// Whether a new element's entry replaces the stored one: a stored
// translation is kept unless it is empty, or it is untranslated (equal to its
// original) and the new element's `to` differs from the original (an empty
// `to` counts as different).
bool replacesStored(const StringEntry &stored, bool toDiffers)
{
    return stored.translation.isEmpty() || (stored.translation == stored.original && toDiffers);
}

// The attribute names of one document, so that a reader compares names by
// identity instead of by text.
struct LanguageNames {
    const XmlDocument *document = nullptr;
    XmlName language, from, to, key, isTrans, allowLength, codeType;

    void resolve(const XmlDocument *forDocument)
    {
        if (document == forDocument)
            return;
        document = forDocument;
        auto *mutableDocument = const_cast<XmlDocument *>(forDocument);
        language = xml_document_name(mutableDocument, kLanguageName);
        from = xml_document_name(mutableDocument, QStringLiteral("from"));
        to = xml_document_name(mutableDocument, QStringLiteral("to"));
        key = xml_document_name(mutableDocument, QStringLiteral("key"));
        isTrans = xml_document_name(mutableDocument, QStringLiteral("IsTrans"));
        allowLength = xml_document_name(mutableDocument, QStringLiteral("AllowLength"));
        codeType = xml_document_name(mutableDocument, QStringLiteral("CodeType"));
    }
};

bool same(const XmlName &a, const XmlName &b) { return a.is(b); }

// The attributes of one element that make its entry.
struct ElementTexts {
    QString from, to, key;
    bool hasKey = false;
    int translatable = 1;
    // The tree's attributes, when there is a tree: they may take the
    // entry's strings (see shareWithTree).
    XmlAttribute *fromAttribute = nullptr, *toAttribute = nullptr;
};

// Reads elements one at a time into a catalogue and the master's entries
// (each when given), or into a list of merge items (then nothing else),
// following the rules of a language file. It lives for one read, so that it can keep what makes the
// read linear: a set of keys for every entry that has collected many,
// instead of scanning its key list for each new key.
class EntryReader {
public:
    EntryReader(CXMLStruct *catalogue, EntryMap *master, std::vector<MergeItem> *items, bool readCodeType)
        : m_catalogue(catalogue), m_master(master), m_items(items), m_readCodeType(readCodeType)
    {
    }

    static void hook(void *context, XmlElement *element) { static_cast<EntryReader *>(context)->read(element); }
    static void startTag(void *context, const char *name, const char **attributes)
    {
        static_cast<EntryReader *>(context)->read(name, attributes);
    }
    static void startTagWithLine(void *context, const char *name, const char **attributes, unsigned long line)
    {
        auto *reader = static_cast<EntryReader *>(context);
        reader->m_line = std::uint32_t(line);
        reader->read(name, attributes);
    }

    // Makes the names the reader compares by identity known to the element's
    // document. read(element) does it itself; a reader on another thread
    // than the parser has it done on the parser's thread first, since
    // looking up a name the document lacks adds it.
    void prepare(const XmlElement *element) { m_names.resolve(element->document()); }

    // Makes read(name, attributes) return the number of the element's
    // entry, with the element's key in lastKey(); the catalogue's list of
    // every key is then not kept.
    void wantNumbers() { m_wantNumbers = true; }
    // Keeps the keys of each entry that a later element replaces, by entry
    // number, in the order they were dropped.
    void keepDisplacedKeys(DisplacedKeys *keys) { m_displacedKeys = keys; }
    const QString &lastKey() const { return m_lastKey; }
    // Makes read(name, attributes) keep its texts in blocks (see TextBlocks).
    void keepTextsIn(TextBlocks *blocks) { m_textBlocks = blocks; }

    // Records the line of each entry's element in lines, by entry number.
    void recordLines(std::vector<std::uint32_t> *lines) { m_lines = lines; }

    void readTree(XmlElement *element)
    {
        read(element);
        for (XmlElement *child = element->firstChild; child; child = child->nextSibling)
            readTree(child);
    }

    // An element of a tree.
    void read(XmlElement *element)
    {
        m_names.resolve(element->document());
        if (same(element->name, m_names.language)) {
            float ratio = 2.0f;
            int type = CodeTypeCpp;
            for (const XmlAttribute *a = element->attributes.first; a; a = xml_element_next_attribute(element, a)) {
                if (same(a->name, m_names.allowLength))
                    ratio = ParseLengthRatio(xml_attribute_text(a));
                else if (same(a->name, m_names.codeType))
                    type = xml_attribute_text(a) == u"QT" ? CodeTypeQt : CodeTypeCpp;
            }
            readSettings(ratio, type);
            return;
        }
        ElementTexts texts;
        for (XmlAttribute *a = element->attributes.first; a; a = xml_element_next_attribute(element, a)) {
            if (same(a->name, m_names.from)) {
                texts.from = xml_attribute_text(a);
                texts.fromAttribute = a;
            } else if (same(a->name, m_names.to)) {
                texts.to = xml_attribute_text(a);
                texts.toAttribute = a;
            } else if (same(a->name, m_names.key)) {
                texts.key = xml_attribute_text(a);
                texts.hasKey = true;
            } else if (same(a->name, m_names.isTrans)) {
                texts.translatable = xml_attribute_text(a) == kFalseText ? 0 : 1;
            }
        }
        readEntry(std::move(texts));
    }

    // A start tag straight from the parser (no tree): the same values as
    // the tree's plain attribute texts. Returns the number of the
    // catalogue's entry that holds the element's original, or -1.
    qsizetype read(const char *name, const char **attributes)
    {
        if (std::strcmp(name, "Language") == 0) {
            float ratio = 2.0f;
            int type = CodeTypeCpp;
            for (const char **a = attributes; a[0]; a += 2) {
                if (std::strcmp(a[0], "AllowLength") == 0)
                    ratio = ParseLengthRatio(QString::fromUtf8(a[1]));
                else if (std::strcmp(a[0], "CodeType") == 0)
                    type = std::strcmp(a[1], "QT") == 0 ? CodeTypeQt : CodeTypeCpp;
            }
            readSettings(ratio, type);
            return -1;
        }
        return readEntry(textsOf(attributes));
    }

    // The texts of a start tag's attributes that make an entry.
    ElementTexts textsOf(const char **attributes)
    {
        ElementTexts texts;
        const char *fromBytes = nullptr;
        for (const char **a = attributes; a[0]; a += 2) {
            if (std::strcmp(a[0], "from") == 0) {
                texts.from = text(a[1]);
                fromBytes = a[1];
            } else if (std::strcmp(a[0], "to") == 0) {
                // An untranslated `to` repeating its `from` shares its
                // string, as the tree's equal values do.
                const QString *earlier = fromBytes && std::strcmp(fromBytes, a[1]) == 0 ? &texts.from : nullptr;
                texts.to = earlier ? *earlier : text(a[1]);
            } else if (std::strcmp(a[0], "key") == 0) {
                texts.key = text(a[1]);
                texts.hasKey = true;
            } else if (std::strcmp(a[0], "IsTrans") == 0) {
                texts.translatable = std::strcmp(a[1], "false") == 0 ? 0 : 1;
            }
        }
        return texts;
    }

    // Reads an element's entry; returns what read(name, attributes) does.
    qsizetype readEntry(ElementTexts &&texts)
    {
        if (texts.hasKey && m_catalogue && !m_wantNumbers)
            m_catalogue->keys.append(texts.key);
        if (m_wantNumbers)
            m_lastKey = texts.key;
        if (texts.from.isEmpty())
            return -1;
        return storeEntry(std::move(texts));
    }

private:
    static constexpr qsizetype kKeySetFrom = 16;

    void readSettings(float ratio, int type)
    {
        if (!m_catalogue)
            return;
        m_catalogue->lengthRatio = ratio;
        if (m_readCodeType)
            m_catalogue->codeType = type;
    }

    qsizetype storeEntry(ElementTexts &&texts)
    {
        StringEntry entry;
        entry.original = UnescapeFromFile(texts.from);
        // An untranslated `to` that repeats its `from` shares its string
        // (the parser shares equal values of one element) and unescapes to
        // the original.
        const bool toIsFrom = texts.to.isSharedWith(texts.from) && !texts.to.isEmpty();
        const QString unescapedTo = toIsFrom ? entry.original : UnescapeFromFile(texts.to);
        entry.translation = texts.to.isEmpty() ? entry.original : unescapedTo;
        if (texts.fromAttribute)
            shareWithTree(texts.fromAttribute, texts.from, entry.original);
        if (texts.toAttribute && !texts.to.isEmpty())
            shareWithTree(texts.toAttribute, texts.to, unescapedTo);
        if (m_catalogue && m_catalogue->catalogueId >= 0)
            entry.catalogueIds = {m_catalogue->catalogueId};
        if (!texts.key.isEmpty())
            entry.keys.append(texts.key);
        entry.translatable = texts.translatable;
        const bool toDiffers = !toIsFrom && unescapedTo != entry.original;
        if (m_items) {
            m_items->push_back({std::move(entry), toDiffers});
            return -1;
        }
        if (m_master)
            store(*m_master, StringEntry(entry), toDiffers, nullptr);
        if (m_catalogue)
            return store(m_catalogue->entries, std::move(entry), toDiffers, &texts.key);
        return -1;
    }

    // When unescaping made a new string, the element keeps that string in
    // the catalogue-text form instead of its own copy, provided the element
    // then reads and writes exactly as before; a large file then holds each
    // text once. Checked so, the text is marked as reading back as itself,
    // which spares a save working its memory form out again.
    static void shareWithTree(XmlAttribute *attribute, const QString &fileText, const QString &memoryText)
    {
        if (attribute->form() != XmlPlainValue || memoryText.isSharedWith(fileText))
            return;
        if (!UnescapedTextWritesBack(fileText))  // memoryText is UnescapeFromFile(fileText)
            return;
        attribute->value = memoryText;
        attribute->setForm(XmlCatalogueTextAsRead);
    }

    // Stores the entry under its original (or lets the stored one win), then,
    // when `key` is given, adds it to the stored entry's keys: once, and only
    // to an entry that has keys already. Returns the stored entry's number
    // when the reader is asked for it (wantNumbers), else -1.
    qsizetype store(EntryMap &entries, StringEntry &&entry, bool toDiffers, const QString *key)
    {
        auto [stored, added] = entries.insertUnordered(std::move(entry));
        const bool replaced = !added && replacesStored(*stored, toDiffers);
        // The stored entry's number, looked up only when something needs it.
        const qsizetype number = added                       ? qsizetype(entries.size()) - 1
                                 : replaced || m_wantNumbers ? entries.lookupNumber(stored->original)
                                                             : -1;
        if (replaced) {
            if (m_displacedKeys && key)
                m_displacedKeys->add(std::uint32_t(number), stored->keys.toList());
            *stored = std::move(entry);
            m_keySets.erase(stored);
        }
        if (m_lines && key) {  // the catalogue's entries
            if (added)
                m_lines->push_back(m_line);
            else if (replaced)
                (*m_lines)[size_t(number)] = m_line;
        }
        if (key && !stored->keys.isEmpty() && !holdsKey(*stored, *key))
            stored->keys.append(*key);
        return m_wantNumbers ? number : -1;
    }

    bool holdsKey(const StringEntry &entry, const QString &key)
    {
        if (entry.keys.size() < kKeySetFrom)
            return entry.keys.contains(key);
        auto found = m_keySets.find(&entry);
        if (found == m_keySets.end())
            found = m_keySets.emplace(&entry, QSet<QString>(entry.keys.cbegin(), entry.keys.cend())).first;
        if (found->second.contains(key))
            return true;
        found->second.insert(key);  // the caller appends it
        return false;
    }

    CXMLStruct *m_catalogue;
    EntryMap *m_master;
    std::vector<MergeItem> *m_items;
    bool m_readCodeType;
    LanguageNames m_names;
    std::unordered_map<const StringEntry *, QSet<QString>> m_keySets;
    std::vector<std::uint32_t> *m_lines = nullptr;
    std::uint32_t m_line = 0;  // of the element being read
    bool m_wantNumbers = false;
    QString m_lastKey;
    DisplacedKeys *m_displacedKeys = nullptr;
    TextBlocks *m_textBlocks = nullptr;

    QString text(const char *utf8) { return m_textBlocks ? m_textBlocks->fromUtf8(utf8) : xml_text_from_utf8(utf8); }
};

// Hands items from one thread (the parser's) to another, in batches, in
// the order they were pushed. The pushing side waits for a taker that falls
// behind rather than hold a whole file's items at once.
template <typename Item>
class HandOverQueue {
public:
    HandOverQueue() { m_batch.reserve(kBatch); }

    void push(Item &&item)
    {
        m_batch.push_back(std::move(item));
        if (m_batch.size() == kBatch)
            handOver();
    }

    // The pushing side is done: hands over what is left.
    void close()
    {
        handOver();
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_ready.notify_one();
    }

    // Gives every item to consume, in order, until the queue is closed and empty.
    template <typename Consume>
    void consume(Consume &&consumeItem)
    {
        std::vector<Item> batch;
        for (;;) {
            {
                std::unique_lock lock(m_mutex);
                if (batch.capacity() > 0) {
                    batch.clear();
                    m_spare.push_back(std::move(batch));
                }
                m_ready.wait(lock, [this] { return m_done || !m_queue.empty(); });
                if (m_queue.empty())
                    return;
                batch = std::move(m_queue.front());
                m_queue.pop_front();
            }
            m_room.notify_one();
            for (Item &item : batch)
                consumeItem(item);
        }
    }

private:
    static constexpr size_t kBatch = 512;
    static constexpr size_t kQueued = 16;  // batches handed over, not yet taken

    void handOver()
    {
        if (m_batch.empty())
            return;
        std::vector<Item> next;
        {
            std::unique_lock lock(m_mutex);
            m_room.wait(lock, [this] { return m_queue.size() < kQueued; });
            if (!m_spare.empty()) {
                next = std::move(m_spare.back());
                m_spare.pop_back();
            }
            m_queue.push_back(std::move(m_batch));
        }
        m_ready.notify_one();
        m_batch = std::move(next);
        m_batch.clear();
        m_batch.reserve(kBatch);
    }

    std::vector<Item> m_batch;  // the pushing side's, being filled
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::condition_variable m_room;
    std::deque<std::vector<Item>> m_queue;
    std::vector<std::vector<Item>> m_spare;  // emptied batches, for reuse
    bool m_done = false;
};

// The reader of a tree's elements on a thread of its own. The parser hands
// over elements once their start tags are read; the reader changes only
// their attributes' values and forms, which the parser no longer touches
// (their attributes lie one after another, so walking them reads nothing
// the parser changes).
class EntryReaderThread {
public:
    explicit EntryReaderThread(EntryReader &reader)
        : m_reader(reader), m_thread([this] { m_queue.consume([this](XmlElement *element) { m_reader.read(element); }); })
    {
    }
    ~EntryReaderThread() { finish(); }

    static void hook(void *context, XmlElement *element)
    {
        auto *self = static_cast<EntryReaderThread *>(context);
        self->m_reader.prepare(element);
        self->m_queue.push(std::move(element));
    }

    // Hands over what is left and waits until every element is read.
    void finish()
    {
        if (!m_thread.joinable())
            return;
        m_queue.close();
        m_thread.join();
    }

private:
    EntryReader &m_reader;
    HandOverQueue<XmlElement *> m_queue;
    std::thread m_thread;  // last: started once the rest is built
};

// Files smaller than this are read on one thread: starting another costs
// more than it saves.
std::atomic<qint64> g_threadedReadFrom{qint64(4) << 20};

XmlDocument *parseTreeAndEntries(const QString &path, qint64 size, EntryReader &reader, QString *errorText)
{
    XmlTreeParser *parser = xml_parser_new();
    if (!parser)
        return nullptr;
    std::optional<EntryReaderThread> thread;
    if (size >= g_threadedReadFrom.load(std::memory_order_relaxed)) {
        thread.emplace(reader);
        xml_parser_set_element_hook(parser, &EntryReaderThread::hook, &*thread);
    } else {
        xml_parser_set_element_hook(parser, &EntryReader::hook, &reader);
    }
    const bool parsed = xml_parser_parse_file(parser, path) != 0;
    // The reader is done with the tree before a failed parse frees it.
    if (thread)
        thread->finish();
    XmlDocument *document = parsed ? xml_parser_document(parser) : nullptr;
    if (!parsed && errorText)
        *errorText = xml_parser_error_text(parser);
    xml_parser_free(parser);
    return document;
}

// Reads the root's children of a file without a tree: each child's entry as
// any read does, and the child as its entry's number and the order of its
// attributes. Refuses a child that is not an empty element of an entry
// named as the first child is, with no attributes but an entry's.
struct FlatReader {
    struct Element {
        ElementTexts texts;
        FlatShape shape;
    };

    EntryReader &reader;
    const EntryMap &entries;
    FlatElements &flat;
    QByteArray name;
    // With the parser on a thread of its own, the queue it hands the
    // elements over to; the taker says so when it refuses one.
    HandOverQueue<Element> *queue = nullptr;
    std::atomic<bool> refused{false};

    static void root(void *context, XmlElement *element) { static_cast<FlatReader *>(context)->reader.read(element); }

    static bool child(void *context, const char *name, const char **attributes)
    {
        auto *self = static_cast<FlatReader *>(context);
        if (self->name.isNull()) {
            // Any element so named is read as the file's settings.
            if (std::strcmp(name, "Language") == 0)
                return false;
            self->name = name;
        } else if (std::strcmp(self->name.constData(), name) != 0) {
            return false;
        }
        FlatShape shape;
        for (const char **a = attributes; a[0]; a += 2) {
            FlatAttribute attribute;
            if (std::strcmp(a[0], "from") == 0)
                attribute = FlatAttribute::From;
            else if (std::strcmp(a[0], "to") == 0)
                attribute = FlatAttribute::To;
            else if (std::strcmp(a[0], "key") == 0)
                attribute = FlatAttribute::Key;
            else if (std::strcmp(a[0], "IsTrans") == 0)
                attribute = FlatAttribute::IsTrans;
            else
                return false;
            if (!shape.add(attribute))
                return false;
        }
        Element element{self->reader.textsOf(attributes), shape};
        if (!self->queue)
            return self->take(element);
        if (self->refused.load(std::memory_order_relaxed))
            return false;
        self->queue->push(std::move(element));
        return true;
    }

    // Reads the element's entry and keeps the element; false when it is not
    // one a save can write from its entry.
    bool take(Element &element)
    {
        // An element without an original (or one that reads as empty) is
        // no entry's: a save leaves it as it is, which needs its tree.
        const qsizetype number = reader.readEntry(std::move(element.texts));
        if (number < 0 || number > qsizetype(UINT32_MAX))
            return false;
        std::uint32_t key = 0;
        if (element.shape.has(FlatAttribute::Key)) {
            const int place = keyIndex(number);
            if (place >= 0) {
                key = std::uint32_t(place);
            } else {
                // Not among its entry's keys: the element keeps its own.
                key = FlatElements::kLooseKey | std::uint32_t(flat.looseKeys.size());
                flat.looseKeys.push_back(reader.lastKey());
            }
        }
        flat.entries.push_back(std::uint32_t(number));
        flat.shapes.push_back(element.shape);
        flat.keys.push_back(key);
        return true;
    }

    // Where the element's key stands among its entry's keys (see
    // FlatElements::keys), or -1 when it is not there (an empty key, or an
    // entry whose first element had none) or far down a long list.
    int keyIndex(qsizetype number) const
    {
        const KeyList &keys = entries.byNumber(size_t(number)).keys;
        const QStringList *displaced = flat.displacedKeys.find(std::uint32_t(number));
        const qsizetype before = displaced ? displaced->size() : 0;
        const QString &key = reader.lastKey();
        const qsizetype size = keys.size();
        qsizetype found = -1;
        if (size > 0 && keys.at(size - 1) == key) {
            found = size - 1;
        } else {
            // A key met again under the same original; looking far for it
            // would make a hostile file slow, so such a key is kept apart.
            for (qsizetype i = 0; i < std::min<qsizetype>(size, 64); ++i) {
                if (keys.at(i) == key) {
                    found = i;
                    break;
                }
            }
        }
        return found >= 0 && before + found < qsizetype(FlatElements::kLooseKey) ? int(before + found) : -1;
    }
};

// The FlatTreeAndEntries read of a file; false when the file does not suit
// it (the catalogue is then left to be read again) or cannot be read (then
// with the reason in *errorText and *unreadable set).
bool readFlat(const QString &path, CXMLStruct &catalogue, size_t expected, bool threaded, bool textBlocks,
              QString *errorText, bool *unreadable)
{
    auto flat = std::make_shared<FlatElements>();
    flat->entries.reserve(expected);
    flat->shapes.reserve(expected);
    flat->keys.reserve(expected);
    // Before the reader, so that it goes after every string of the read.
    auto texts = textBlocks ? std::make_shared<TextBlocks>() : nullptr;
    EntryReader reader(&catalogue, nullptr, nullptr, true);
    reader.wantNumbers();
    reader.keepDisplacedKeys(&flat->displacedKeys);
    if (texts)
        reader.keepTextsIn(texts.get());
    FlatReader flatReader{reader, catalogue.entries, *flat, QByteArray()};
    bool refused = false;
    XmlDocument *document = nullptr;
    auto parse = [&] {
        document = xml_parse_file_without_children(path, errorText, &FlatReader::root, &FlatReader::child,
                                                   &flatReader, &refused);
    };
    if (threaded) {
        // The entries are read on a thread of its own while this one parses.
        HandOverQueue<FlatReader::Element> queue;
        flatReader.queue = &queue;
        std::thread entries([&] {
            queue.consume([&](FlatReader::Element &element) {
                if (!flatReader.refused.load(std::memory_order_relaxed) && !flatReader.take(element))
                    flatReader.refused.store(true, std::memory_order_relaxed);
            });
        });
        parse();
        queue.close();
        entries.join();
        if (flatReader.refused.load(std::memory_order_relaxed)) {
            xml_document_free(document);
            document = nullptr;
            refused = true;
        }
    } else {
        parse();
    }
    XmlDocumentPtr tree = makeDocumentPtr(document);
    *unreadable = !document && !refused;
    // A root of another name is read as an element of an entry itself, and
    // a root's text is written after its children: both need the tree.
    if (!document || !document->root || !(document->root->name == kLanguageName) ||
        xml_element_has_text(document->root)) {
        // Its strings refer to the texts about to go.
        catalogue.entries.clear();
        return false;
    }
    // The catalogue's entries are all elements' entries, so a save writes no new element.
    flat->name = QString::fromUtf8(flatReader.name);
    flat->entriesRead = catalogue.entries.size();
    catalogue.tree = std::move(tree);
    catalogue.flat = std::move(flat);
    catalogue.texts = std::move(texts);
    return true;
}

} // namespace

namespace {

ReadCatalogue readCatalogue(const QString &path, CatalogueParts parts, int catalogueId,
                            std::vector<std::uint32_t> *lines)
{
    ReadCatalogue read;
    CXMLStruct &catalogue = read.catalogue;
    catalogue.filePath = path;
    if (parts == CatalogueParts::MergeItems) {
        EntryReader reader(nullptr, nullptr, &read.mergeItems, true);
        read.ok = xml_scan_file(path, &read.errorText, &EntryReader::startTag, &reader);
        if (!read.ok)
            read.mergeItems.clear();
        return read;
    }
    catalogue.catalogueId = catalogueId;
    // The index is sized once for the entries the file's size suggests (a
    // line of a language file is about a hundred bytes), rather than grown
    // and copied along the way.
    const qint64 fileSize = QFileInfo(path).size();
    const size_t expected = size_t(std::min<qint64>(fileSize / 100, 4'000'000));
    catalogue.entries.reserve(expected);
    // Nearly every element has a key: the list is sized once too, since
    // growing it by doubling and squeezing it at the end held up to two and
    // a half times its size at once (a flat read keeps no such list).
    const bool flat = parts == CatalogueParts::FlatTreeAndEntries || parts == CatalogueParts::FlatTreeAndOwnedEntries;
    if (!flat)
        catalogue.keys.reserve(qsizetype(expected));
    if (flat) {
        bool unreadable = false;
        const bool threaded = fileSize >= g_threadedReadFrom.load(std::memory_order_relaxed);
        if (readFlat(path, catalogue, expected, threaded, parts == CatalogueParts::FlatTreeAndEntries,
                     &read.errorText, &unreadable)) {
            read.ok = true;
            return read;
        }
        if (unreadable) {
            catalogue = CXMLStruct();
            catalogue.filePath = path;
            return read;
        }
        // Not a file of empty entry elements: read again with the tree.
        CXMLStruct fresh;
        fresh.filePath = path;
        fresh.catalogueId = catalogueId;
        fresh.entries.reserve(expected);
        fresh.keys.reserve(qsizetype(expected));
        catalogue = std::move(fresh);
        read.errorText.clear();
        parts = CatalogueParts::TreeAndEntries;
    }
    EntryReader reader(&catalogue, nullptr, nullptr, true);
    if (lines) {
        lines->clear();
        lines->reserve(expected);
        reader.recordLines(lines);
        read.ok = xml_scan_file_lines(path, &read.errorText, &EntryReader::startTagWithLine, &reader);
    } else if (parts == CatalogueParts::Entries) {
        read.ok = xml_scan_file(path, &read.errorText, &EntryReader::startTag, &reader);
    } else {
        // Entries are read while the file is parsed, each element while it
        // is fresh in the cache.
        XmlDocument *document = parseTreeAndEntries(path, fileSize, reader, &read.errorText);
        catalogue.tree = makeDocumentPtr(document);
        read.ok = document != nullptr;
    }
    if (!read.ok) {
        catalogue = CXMLStruct();
        catalogue.filePath = path;
        if (lines)
            lines->clear();
        return read;
    }
    if (catalogue.keys.capacity() > catalogue.keys.size() + catalogue.keys.size() / 2)
        catalogue.keys.squeeze();  // far fewer keys than the file's size suggested
    return read;
}

} // namespace

namespace {

bool isSpaceByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// One past the end of the root's start tag in a file's bytes, with the
// root's name, or -1 when the file cannot be cut (see
// ReadCatalogueItemsOnThreads) or its root is empty.
qsizetype rootStartEnd(QByteArrayView bytes, QByteArrayView *name)
{
    const qsizetype size = bytes.size();
    if (size < 4 || bytes.first(4).contains('\0') || bytes.startsWith("\xFE\xFF") || bytes.startsWith("\xFF\xFE"))
        return -1;
    qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (;;) {
        while (i < size && isSpaceByte(bytes[i]))
            ++i;
        if (i + 1 >= size || bytes[i] != '<')
            return -1;
        const QByteArrayView rest = bytes.sliced(i);
        qsizetype end = -1;
        if (rest.startsWith("<?"))
            end = bytes.indexOf("?>", i + 2) + 2;
        else if (rest.startsWith("<!--"))
            end = bytes.indexOf("-->", i + 4) + 3;
        else if (rest.startsWith("<!"))
            return -1;  // a document type declaration, which may declare entities
        else
            break;
        if (end < 2)
            return -1;
        i = end;
    }
    qsizetype nameEnd = i + 1;
    while (nameEnd < size && !isSpaceByte(bytes[nameEnd]) && bytes[nameEnd] != '/' && bytes[nameEnd] != '>')
        ++nameEnd;
    *name = bytes.sliced(i + 1, nameEnd - i - 1);
    char quote = 0;
    for (qsizetype j = nameEnd; j < size; ++j) {
        const char c = bytes[j];
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return bytes[j - 1] == '/' || name->isEmpty() ? -1 : j + 1;
        }
    }
    return -1;
}

// The first place at or after `from` where a line starts with a start tag
// (after white space), or -1.
qsizetype lineWithStartTag(QByteArrayView bytes, qsizetype from)
{
    for (qsizetype i = bytes.indexOf('\n', from); i >= 0; i = bytes.indexOf('\n', i + 1)) {
        qsizetype j = i + 1;
        while (j < bytes.size() && isSpaceByte(bytes[j]))
            ++j;
        if (j + 1 < bytes.size() && bytes[j] == '<' && bytes[j + 1] != '/' && bytes[j + 1] != '!' && bytes[j + 1] != '?')
            return j;
        i = j - 1;
    }
    return -1;
}

// A piece's reader: every start tag but the copy of the root that heads a
// piece after the first.
struct PieceReader {
    EntryReader reader;
    bool skipRoot;

    static void startTag(void *context, const char *name, const char **attributes)
    {
        auto *self = static_cast<PieceReader *>(context);
        if (self->skipRoot)
            self->skipRoot = false;
        else
            self->reader.read(name, attributes);
    }
};

// The file read whole, in one piece.
ReadCatalogueItems readItemsWhole(const QString &path)
{
    ReadCatalogue read = ReadCatalogueFile(path, CatalogueParts::MergeItems, -1);
    ReadCatalogueItems items;
    items.ok = read.ok;
    items.errorText = std::move(read.errorText);
    items.pieces.push_back(std::move(read.mergeItems));
    return items;
}

} // namespace

ReadCatalogueItems ReadCatalogueItemsOnThreads(const QString &path, int threads, bool textBlocks)
{
    QFile file(path);
    const qint64 size = QFileInfo(path).size();
    if (threads < 2 || size < std::max<qint64>(g_threadedReadFrom.load(std::memory_order_relaxed), 1) ||
        !nonRegularFileReason(path).isEmpty() || !file.open(QIODevice::ReadOnly))
        return readItemsWhole(path);
    const uchar *mapped = file.map(0, file.size());
    if (!mapped)
        return readItemsWhole(path);
    const QByteArrayView bytes(reinterpret_cast<const char *>(mapped), file.size());
    QByteArrayView rootName;
    const qsizetype bodyStart = rootStartEnd(bytes, &rootName);
    // Where the pieces start: the body's start and each cut.
    std::vector<qsizetype> starts;
    if (bodyStart > 0) {
        starts.push_back(bodyStart);
        const qsizetype body = bytes.size() - bodyStart;
        for (int k = 1; k < threads; ++k) {
            const qsizetype cut = lineWithStartTag(bytes, std::max(bodyStart + body / threads * k, starts.back() + 1));
            if (cut < 0)
                break;
            starts.push_back(cut);
        }
    }
    if (starts.size() < 2)
        return readItemsWhole(path);

    const QByteArray closing = "</" + rootName.toByteArray() + '>';
    const QByteArrayView head = bytes.first(bodyStart);
    starts.push_back(bytes.size());
    const std::size_t pieces = starts.size() - 1;
    ReadCatalogueItems read;
    read.pieces.resize(pieces);
    if (textBlocks) {
        for (std::size_t k = 0; k < pieces; ++k)
            read.blocks.push_back(std::make_unique<TextBlocks>(true));
    }
    std::vector<char> parsed(pieces, 0);
    auto parse = [&](std::size_t k) {
        const QByteArrayView share = k == 0 ? bytes.first(starts[1]) : bytes.sliced(starts[k], starts[k + 1] - starts[k]);
        // About a hundred bytes to an element.
        read.pieces[k].reserve(std::size_t(share.size() / 100));
        PieceReader reader{EntryReader(nullptr, nullptr, &read.pieces[k], true), k > 0};
        if (textBlocks)
            reader.reader.keepTextsIn(read.blocks[k].get());
        std::vector<QByteArrayView> parts;
        if (k > 0)
            parts.push_back(head);
        parts.push_back(share);
        if (k + 1 < pieces)
            parts.push_back(closing);
        parsed[k] = xml_scan_pieces(parts, &PieceReader::startTag, &reader);
    };
    std::vector<std::thread> helpers;
    for (std::size_t k = 1; k < pieces; ++k)
        helpers.emplace_back(parse, k);
    parse(0);
    for (std::thread &helper : helpers)
        helper.join();
    if (std::find(parsed.begin(), parsed.end(), 0) != parsed.end())
        return readItemsWhole(path);
    read.ok = true;
    return read;
}

void SetThreadedReadFrom(qint64 bytes) { g_threadedReadFrom.store(bytes, std::memory_order_relaxed); }

ReadCatalogue ReadCatalogueFile(const QString &path, CatalogueParts parts, int catalogueId)
{
    return readCatalogue(path, parts, catalogueId, nullptr);
}

ReadCatalogue ReadCatalogueFileWithLines(const QString &path, int catalogueId, std::vector<std::uint32_t> &lines)
{
    return readCatalogue(path, CatalogueParts::Entries, catalogueId, &lines);
}

void ReadEntriesFromTree(CXMLStruct &catalogue, EntryMap *master, XmlElement *element, bool readCodeType)
{
    if (element)
        EntryReader(&catalogue, master, nullptr, readCodeType).readTree(element);
}

void MergeItemsIntoMaster(EntryMap &master, std::vector<MergeItem> &&items)
{
    for (MergeItem &item : items) {
        auto [stored, added] = master.insertUnordered(std::move(item.entry));
        if (!added && replacesStored(*stored, item.toDiffers))
            *stored = std::move(item.entry);
    }
    items.clear();
}

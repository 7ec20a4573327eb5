// Saving a catalogue read flat: the root from its tree, the children from
// the flat elements and the entries, the bytes a save of the whole tree
// gives.

#include "catalogue/document.h"

#include "catalogue/flat_elements.h"
#include "catalogue/runs_on_two_threads.h"
#include "catalogue/xml_escape.h"

#include <QIODevice>
#include <algorithm>
#include <thread>

namespace {

// Elements of a run, and from how many elements on they are written on two
// threads (as the tree writer does).
constexpr size_t kRunElements = 2048;
constexpr size_t kTwoThreadsFrom = 16384;

} // namespace

bool CRendaroDoc::WriteFlatCatalogueFile(CXMLStruct &catalogue, const QString &path, QString *reason,
                                         DurableWriteBatch *batch, int *batchFile)
{
    const std::shared_ptr<FlatElements> flat = catalogue.flat;
    const EntryMap &entries = catalogue.entries;
    // Every entry has an element here: a catalogue with entries added since
    // the read gets its tree built instead (WriteCatalogueFile).
    const size_t count = flat->entries.size();

    const size_t runs = (count + kRunElements - 1) / kRunElements;
    std::string start = "   <";
    appendUtf8(start, flat->name);
    auto serialise = [&](size_t run, std::string &out) {
        const size_t end = std::min(count, (run + 1) * kRunElements);
        for (size_t i = run * kRunElements; i < end; ++i) {
            const FlatShape shape = flat->shapes[i];
            const StringEntry &entry = entries.byNumber(flat->entries[i]);
            appendFlatElement(out, start, shape, entry,
                              shape.has(FlatAttribute::Key) ? flat->key(i, entry) : QString());
            // As a save of the tree changes its elements, so the next save
            // starts from what this one wrote. Each run has its own shapes.
            flat->shapes[i] = shape.afterSave(entry.translatable);
        }
    };
    auto writeChildren = [&](QIODevice &device) {
        if (count >= kTwoThreadsFrom && std::thread::hardware_concurrency() > 1) {
            return WriteRunsOnTwoThreads(device, runs, serialise);
        }
        std::string out;
        for (size_t run = 0; run < runs; ++run) {
            out.clear();
            serialise(run, out);
            if (device.write(out.data(), qint64(out.size())) != qint64(out.size()))
                return false;
        }
        return true;
    };
    return WriteAroundRoot(catalogue, path, reason, batch, batchFile, writeChildren);
}

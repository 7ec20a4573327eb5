#pragma once
// What the editor's grid shows for a row: the grid holds entry numbers of
// the shown catalogue and reads the texts, the check box and the colours
// from the entry when it paints. Colours are computed, not stored: red, a
// translation too long for the catalogue's ratio; yellow, an entry marked
// not to be translated (original) or a translation just changed; pink, a
// translation equal to its original. The few per-entry marks ("just
// edited", "check box just changed") live here, one byte per entry number.

#include "controls/report_row_model.h"

#include <cstdint>
#include <vector>

class CRendaroDoc;
class EntryTable;
struct CXMLStruct;
struct StringEntry;

class CatalogueRows : public ReportRowSource {
public:
    enum Mark : std::uint8_t {
        TranslationChanged = 1,  // the translation column is yellow (red when too long)
        FlagChanged = 2,         // the original column is yellow
    };

    // Rows read this catalogue of this document (looked up on every read,
    // so a closed catalogue shows empty rows, never freed memory).
    void show(const CRendaroDoc *document, int catalogueId);
    int catalogueId() const { return m_catalogueId; }
    const CXMLStruct *catalogue() const;
    // The entry of a row key, or null when the catalogue no longer holds it.
    const StringEntry *entry(quint32 key) const;
    // Texts shown in column 0 in place of the originals (not owned; null: none).
    void setReference(const EntryTable *reference) { m_reference = reference; }
    // The text column 0 shows for an original.
    QString displayText(const QString &original) const;
    // The same for an entry of the shown catalogue, without a copy.
    const QString &displayTextOf(const StringEntry &entry) const;

    void setMarks(quint32 key, std::uint8_t marks);
    void addMarks(quint32 key, std::uint8_t marks) { setMarks(key, marksOf(key) | marks); }
    std::uint8_t marksOf(quint32 key) const { return key < m_marks.size() ? m_marks[key] : 0; }
    void clearMarks() { m_marks.clear(); }

    QString text(quint32 key, int column) const override;
    bool isChecked(quint32 key) const override;
    QRgb backColour(quint32 key, int column) const override;

private:
    const CRendaroDoc *m_document = nullptr;
    int m_catalogueId = -1;
    const EntryTable *m_reference = nullptr;
    std::vector<std::uint8_t> m_marks;  // by entry number
};

// Cell backgrounds of the view.
constexpr QRgb kTooLongColour = qRgb(250, 81, 81);         // red: translation too long
constexpr QRgb kMarkedColour = qRgb(250, 250, 140);        // yellow: not to be translated, or just changed
constexpr QRgb kUntranslatedColour = qRgb(255, 200, 230);  // pink: translation equals the original

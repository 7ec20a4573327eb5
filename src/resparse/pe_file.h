#pragma once
// Reads the resource directory of a 32-bit or 64-bit Windows executable or
// DLL (PE32 and PE32+) straight from the file's bytes, without a loader.

#include "resparse/byte_view.h"

#include <QString>
#include <vector>

// One language version of one resource, in the order of the directory.
struct PeResource {
    std::uint32_t type = 0;    // numeric type (named types are not listed)
    bool named = false;        // the resource is identified by a name
    QString name;              // that name, when named
    std::uint32_t id = 0;      // the resource number, when not named
    std::uint32_t language = 0;
    ByteView data;             // empty when the data lies outside the file
};

class PeFile {
public:
    // False when the bytes are not a PE image (bad DOS or NT header).
    bool parse(ByteView bytes);

    // Every language version of every resource whose type is numeric,
    // in directory order: types, then names (named entries first), then
    // languages. Malformed parts of the directory are left out.
    std::vector<PeResource> resources() const;

private:
    struct Section {
        std::uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
    };
    // The file bytes behind an RVA range, or an empty view.
    ByteView rvaRange(std::uint32_t rva, std::uint32_t size) const;
    // How many bytes of the file follow an RVA within its section.
    std::uint32_t rawBytesAfter(std::uint32_t rva) const;

    ByteView m_bytes;
    std::vector<Section> m_sections;
    std::uint32_t m_resourceRva = 0;
    std::uint32_t m_resourceSize = 0;
};

#include "resparse/pe_file.h"

#include <algorithm>
#include <set>

namespace {

constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kHighBit = 0x80000000u;

// One directory entry: its name or id, and where it points.
struct DirectoryEntry {
    bool named = false;
    QString name;
    std::uint32_t id = 0;
    bool subdirectory = false;
    std::uint32_t offset = 0;  // from the start of the resource section
};

// The entries of the directory at `offset` in the resource data, named ones
// first as stored. Each directory is read once: an offset seen before (a
// loop, or entries sharing a directory) gives no entries.
std::vector<DirectoryEntry> readDirectory(ByteView resources, std::uint32_t offset, std::set<std::uint32_t> &seen)
{
    std::vector<DirectoryEntry> entries;
    if (!seen.insert(offset).second)
        return entries;
    const auto namedCount = resources.u16(size_t(offset) + 12);
    const auto idCount = resources.u16(size_t(offset) + 14);
    if (!namedCount || !idCount)
        return entries;
    const size_t count = size_t(*namedCount) + *idCount;
    for (size_t i = 0; i < count; ++i) {
        const size_t at = size_t(offset) + 16 + i * 8;
        const auto nameField = resources.u32(at);
        const auto target = resources.u32(at + 4);
        if (!nameField || !target)
            break;  // the table runs past the data
        DirectoryEntry entry;
        entry.named = (*nameField & kHighBit) != 0;
        if (entry.named) {
            const size_t nameAt = *nameField & ~kHighBit;
            const auto length = resources.u16(nameAt);
            if (!length || !resources.contains(nameAt + 2, size_t(*length) * 2))
                continue;
            for (size_t k = 0; k < *length; ++k)
                entry.name.append(QChar(char16_t(*resources.u16(nameAt + 2 + k * 2))));
        } else {
            entry.id = *nameField & 0xFFFF;
        }
        entry.subdirectory = (*target & kHighBit) != 0;
        entry.offset = *target & ~kHighBit;
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace

bool PeFile::parse(ByteView bytes)
{
    m_bytes = bytes;
    m_sections.clear();
    m_resourceRva = m_resourceSize = 0;
    if (bytes.u16(0) != std::optional<std::uint16_t>(0x5A4D))  // "MZ"
        return false;
    const auto ntOffset = bytes.u32(0x3C);
    if (!ntOffset || bytes.u32(*ntOffset) != std::optional<std::uint32_t>(0x00004550))  // "PE\0\0"
        return false;
    const size_t coff = size_t(*ntOffset) + 4;
    const auto sectionCount = bytes.u16(coff + 2);
    const auto optionalSize = bytes.u16(coff + 16);
    const size_t optional = coff + 20;
    const auto magic = bytes.u16(optional);
    if (!sectionCount || !optionalSize || !magic || (*magic != kPe32Magic && *magic != kPe32PlusMagic))
        return false;
    const size_t directories = optional + (*magic == kPe32Magic ? 96 : 112);
    const auto directoryCount = bytes.u32(directories - 4);
    if (directoryCount && *directoryCount > kResourceDirectoryIndex
        && directories + (kResourceDirectoryIndex + 1) * 8 <= optional + *optionalSize) {
        m_resourceRva = bytes.u32(directories + kResourceDirectoryIndex * 8).value_or(0);
        m_resourceSize = bytes.u32(directories + kResourceDirectoryIndex * 8 + 4).value_or(0);
    }
    const size_t table = optional + *optionalSize;
    for (size_t i = 0; i < *sectionCount; ++i) {
        const size_t at = table + i * 40;
        const auto virtualSize = bytes.u32(at + 8), virtualAddress = bytes.u32(at + 12);
        const auto rawSize = bytes.u32(at + 16), rawOffset = bytes.u32(at + 20);
        if (!virtualSize || !virtualAddress || !rawSize || !rawOffset)
            return false;  // section table cut off
        m_sections.push_back({*virtualAddress, *virtualSize, *rawOffset, *rawSize});
    }
    return true;
}

std::uint32_t PeFile::rawBytesAfter(std::uint32_t rva) const
{
    for (const Section &s : m_sections) {
        if (rva >= s.virtualAddress && std::uint64_t(rva) - s.virtualAddress < s.rawSize) {
            const std::uint64_t inSection = rva - s.virtualAddress;
            const std::uint64_t fileOffset = std::uint64_t(s.rawOffset) + inSection;
            if (fileOffset >= m_bytes.size())
                return 0;
            return std::uint32_t(std::min<std::uint64_t>(s.rawSize - inSection, m_bytes.size() - fileOffset));
        }
    }
    return 0;
}

ByteView PeFile::rvaRange(std::uint32_t rva, std::uint32_t size) const
{
    for (const Section &s : m_sections) {
        const std::uint64_t extent = std::max(s.virtualSize, s.rawSize);
        if (rva < s.virtualAddress || std::uint64_t(rva) - s.virtualAddress >= extent)
            continue;
        const std::uint64_t inSection = rva - s.virtualAddress;
        // Only bytes present in the file count; the zero fill past the raw
        // data is not there to read.
        if (inSection + size > s.rawSize)
            return ByteView();
        const std::uint64_t offset = std::uint64_t(s.rawOffset) + inSection;
        if (offset > SIZE_MAX)
            return ByteView();
        return m_bytes.sub(size_t(offset), size);
    }
    return ByteView();
}

std::vector<PeResource> PeFile::resources() const
{
    std::vector<PeResource> found;
    if (m_resourceRva == 0 || m_resourceSize == 0)
        return found;
    // The resource data as far as the file holds it.
    const ByteView section = rvaRange(m_resourceRva, std::min(m_resourceSize, rawBytesAfter(m_resourceRva)));
    if (!section.data())
        return found;
    std::set<std::uint32_t> seen;
    for (const DirectoryEntry &type : readDirectory(section, 0, seen)) {
        if (type.named || !type.subdirectory)
            continue;
        for (const DirectoryEntry &name : readDirectory(section, type.offset, seen)) {
            if (!name.subdirectory)
                continue;
            for (const DirectoryEntry &language : readDirectory(section, name.offset, seen)) {
                if (language.subdirectory)
                    continue;
                const auto dataRva = section.u32(language.offset);
                const auto dataSize = section.u32(size_t(language.offset) + 4);
                if (!dataRva || !dataSize)
                    continue;
                PeResource resource;
                resource.type = type.id;
                resource.named = name.named;
                resource.name = name.name;
                resource.id = name.id;
                resource.language = language.named ? 0 : language.id;
                resource.data = rvaRange(*dataRva, *dataSize);
                found.push_back(std::move(resource));
            }
        }
    }
    return found;
}

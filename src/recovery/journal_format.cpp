#include "recovery/journal_format.h"

#include <QFile>
#include <QStringEncoder>
#include <array>
#include <cstring>

namespace {

constexpr char kMagic[] = "RENDAROJ";
constexpr std::uint32_t kVersion = 1;
constexpr qsizetype kStartSize = 12;
constexpr qsizetype kFrameSize = 8;
// No real record comes near this; a larger length is damage.
constexpr std::uint32_t kMaxPayload = 256u << 20;

const std::array<std::uint32_t, 256> &crcTable()
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    return table;
}

void putU32(char *at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = char((value >> (8 * i)) & 0xFF);
}

std::uint32_t getU32(const char *at)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t(std::uint8_t(at[i])) << (8 * i);
    return value;
}

void appendU32(QByteArray &out, std::uint32_t value)
{
    char bytes[4];
    putU32(bytes, value);
    out.append(bytes, 4);
}

void appendU64(QByteArray &out, std::uint64_t value)
{
    appendU32(out, std::uint32_t(value));
    appendU32(out, std::uint32_t(value >> 32));
}

// A u32 byte count and the text in UTF-8, encoded straight into `out`.
void appendText(QByteArray &out, QStringView text)
{
    QStringEncoder encoder(QStringEncoder::Utf8);
    const qsizetype countAt = out.size();
    out.resize(countAt + 4 + encoder.requiredSpace(text.size()));
    char *begin = out.data() + countAt + 4;
    char *end = encoder.appendToBuffer(begin, text);
    const qsizetype bytes = end - begin;
    putU32(out.data() + countAt, std::uint32_t(bytes));
    out.resize(countAt + 4 + bytes);
}

// Opens a record in `out`; the returned offset closes it.
qsizetype beginRecord(QByteArray &out, JournalRecordType type)
{
    const qsizetype at = out.size();
    out.append(kFrameSize, '\0');
    out.append(char(type));
    return at;
}

void endRecord(QByteArray &out, qsizetype at)
{
    char *frame = out.data() + at;
    putU32(frame, std::uint32_t(out.size() - at - kFrameSize));
    const std::uint32_t crc = Crc32(frame + kFrameSize, out.size() - at - kFrameSize, Crc32(frame, 4));
    putU32(frame + 4, crc);
}

// Reads the fields of one payload; any read past its end marks it bad.
class PayloadReader {
public:
    PayloadReader(const char *data, qsizetype size) : m_data(data), m_size(size) {}

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_size; }
    std::uint8_t byte()
    {
        if (!need(1))
            return 0;
        return std::uint8_t(m_data[m_at++]);
    }
    std::uint32_t u32()
    {
        if (!need(4))
            return 0;
        const std::uint32_t value = getU32(m_data + m_at);
        m_at += 4;
        return value;
    }
    std::uint64_t u64()
    {
        const std::uint64_t low = u32();
        return low | (std::uint64_t(u32()) << 32);
    }
    QByteArray bytes()
    {
        const std::uint32_t count = u32();
        if (!need(count))
            return QByteArray();
        QByteArray value(m_data + m_at, count);
        m_at += count;
        return value;
    }
    QString text()
    {
        const std::uint32_t count = u32();
        if (!need(count))
            return QString();
        QString value = QString::fromUtf8(m_data + m_at, count);
        m_at += count;
        return value;
    }

private:
    bool need(qsizetype count)
    {
        if (m_ok && count <= m_size - m_at)
            return true;
        m_ok = false;
        return false;
    }
    const char *m_data;
    qsizetype m_size;
    qsizetype m_at = 0;
    bool m_ok = true;
};

bool readHeader(PayloadReader &in, JournalHeader &header)
{
    const std::uint8_t kind = in.byte();
    header.kind = kind == 1 ? JournalTargetKind::Folder : JournalTargetKind::File;
    header.target = in.text();
    const std::uint32_t files = in.u32();
    for (std::uint32_t i = 0; i < files && in.ok(); ++i)
        header.files.append(in.text());
    header.pid = qint64(in.u64());
    header.startTicks = in.u64();
    header.bootId = in.bytes();
    header.createdMs = qint64(in.u64());
    return in.ok() && in.atEnd() && kind <= 1 && !header.target.isEmpty();
}

bool readRecord(PayloadReader &in, JournalRecordType type, JournalRecord &record)
{
    record.type = type;
    switch (type) {
    case JournalRecordType::Set:
    case JournalRecordType::Add:
        record.original = in.text();
        record.translation = in.text();
        record.translatable = int(std::int32_t(in.u32()));
        break;
    case JournalRecordType::Remove:
        record.original = in.text();
        break;
    case JournalRecordType::Settings: {
        const std::uint32_t bits = in.u32();
        std::memcpy(&record.lengthRatio, &bits, sizeof bits);
        record.codeType = int(std::int32_t(in.u32()));
        break;
    }
    default:
        return false;
    }
    return in.ok() && in.atEnd();
}

} // namespace

std::uint32_t Crc32(const char *data, qsizetype size, std::uint32_t crc)
{
    const auto &table = crcTable();
    crc = ~crc;
    for (qsizetype i = 0; i < size; ++i)
        crc = table[(crc ^ std::uint8_t(data[i])) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

QByteArray JournalFileStart()
{
    QByteArray start(kMagic, 8);
    appendU32(start, kVersion);
    return start;
}

void AppendHeaderRecord(QByteArray &out, const JournalHeader &header)
{
    const qsizetype at = beginRecord(out, JournalRecordType::Header);
    out.append(char(header.kind));
    appendText(out, header.target);
    appendU32(out, std::uint32_t(header.files.size()));
    for (const QString &file : header.files)
        appendText(out, file);
    appendU64(out, std::uint64_t(header.pid));
    appendU64(out, header.startTicks);
    appendU32(out, std::uint32_t(header.bootId.size()));
    out.append(header.bootId);
    appendU64(out, std::uint64_t(header.createdMs));
    endRecord(out, at);
}

void AppendEntryRecord(QByteArray &out, JournalRecordType type, const QString &original, const QString &translation,
                       int translatable)
{
    const qsizetype at = beginRecord(out, type);
    appendText(out, original);
    if (type != JournalRecordType::Remove) {
        appendText(out, translation);
        appendU32(out, std::uint32_t(std::int32_t(translatable)));
    }
    endRecord(out, at);
}

void AppendSettingsRecord(QByteArray &out, float lengthRatio, int codeType)
{
    const qsizetype at = beginRecord(out, JournalRecordType::Settings);
    std::uint32_t bits;
    std::memcpy(&bits, &lengthRatio, sizeof bits);
    appendU32(out, bits);
    appendU32(out, std::uint32_t(std::int32_t(codeType)));
    endRecord(out, at);
}

JournalContents ParseJournal(const QByteArray &bytes)
{
    JournalContents contents;
    if (bytes.size() < kStartSize || std::memcmp(bytes.constData(), kMagic, 8) != 0) {
        contents.error = QStringLiteral("not a recovery journal");
        return contents;
    }
    if (getU32(bytes.constData() + 8) != kVersion) {
        contents.error = QStringLiteral("journal version %1 is not known").arg(getU32(bytes.constData() + 8));
        return contents;
    }
    qsizetype at = kStartSize;
    contents.validBytes = at;
    bool first = true;
    while (at < bytes.size()) {
        const char *frame = bytes.constData() + at;
        const qsizetype left = bytes.size() - at;
        const std::uint32_t length = left >= kFrameSize ? getU32(frame) : 0;
        if (left < kFrameSize || length == 0 || length > kMaxPayload || qsizetype(length) > left - kFrameSize) {
            contents.error = QStringLiteral("record at byte %1 is cut short").arg(at);
            break;
        }
        const char *payload = frame + kFrameSize;
        if (Crc32(payload, length, Crc32(frame, 4)) != getU32(frame + 4)) {
            contents.error = QStringLiteral("record at byte %1 fails its checksum").arg(at);
            break;
        }
        const auto type = JournalRecordType(std::uint8_t(payload[0]));
        PayloadReader in(payload + 1, length - 1);
        if (first) {
            if (type != JournalRecordType::Header || !readHeader(in, contents.header)) {
                contents.error = QStringLiteral("the journal's header is damaged");
                break;
            }
            contents.valid = true;
            first = false;
        } else {
            JournalRecord record;
            if (!readRecord(in, type, record)) {
                contents.error = QStringLiteral("record at byte %1 is not understood").arg(at);
                break;
            }
            contents.records.push_back(std::move(record));
        }
        at += kFrameSize + length;
        contents.validBytes = at;
        contents.recordEnds.push_back(at);
    }
    if (first && contents.error.isEmpty())
        contents.error = QStringLiteral("the journal has no header");
    contents.damaged = contents.valid && contents.validBytes < bytes.size();
    return contents;
}

JournalContents ReadJournalFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        JournalContents contents;
        contents.error = file.errorString();
        return contents;
    }
    return ParseJournal(file.readAll());
}

#pragma once

#include "store/Status.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1StringView>
#include <QString>
#include <QStringDecoder>
#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QIODevice;

namespace radici {

// Failures of reading or importing a GEDCOM file, beside the engine's own numbers.
namespace GedcomError {
inline constexpr int Unreadable = 4001;  // not a file Radici can read; nothing was written
inline constexpr int Cancelled = 4002;   // the user stopped it; nothing was written
}  // namespace GedcomError

// The failure of an import the user stopped.
Status ImportCancelled();

// One ASCII character to a byte of Packed, the first in the lowest, so two texts share a number
// only when they are equal; 0 for an empty or non-ASCII text, or one too long to fit.
template <typename Packed, typename Text>
constexpr Packed PackedAscii(Text text) {
    if (text.size() < 1 || text.size() > qsizetype(sizeof(Packed))) return 0;
    Packed packed = 0;
    for (qsizetype at = text.size() - 1; at >= 0; --at) {
        const auto unit = static_cast<Packed>(text[at].unicode());
        if (unit == 0 || unit >= 0x80) return 0;
        packed = static_cast<Packed>(packed << 8) | unit;
    }
    return packed;
}

// A tag of one to four ASCII characters as one number, so that telling tags apart costs one
// comparison; 0 for any other tag.
template <typename Text>
constexpr quint32 PackedTag(Text tag) {
    return PackedAscii<quint32>(tag);
}

// The packed numbers of a list of tags, in its order.
template <typename Text, std::size_t Count>
constexpr std::array<quint32, Count> PackedTags(const std::array<Text, Count>& tags) {
    std::array<quint32, Count> packed{};
    for (std::size_t at = 0; at < Count; ++at) packed[at] = PackedTag(tags[at]);
    return packed;
}

// One line of a record with the lines below it. CONC and CONT lines are already joined into
// the value.
struct GedcomNode {
    int level = 0;
    QString xref;  // with its "@" signs; empty when the line has none
    QString tag;
    quint32 packedTag = 0;  // PackedTag(tag)
    QString value;
    qint64 line = 0;  // where it stands in the file, from 1
    std::vector<GedcomNode> children;

    bool is(QLatin1StringView wanted) const {
        return packedTag != 0 ? packedTag == PackedTag(wanted) : tag == wanted;
    }
    // The first child with the tag, or none.
    const GedcomNode* child(QLatin1StringView childTag) const;
    // The value of the first child with the tag; empty when there is none.
    QString childValue(QLatin1StringView childTag) const;
};

// Reads a GEDCOM file one level-0 record at a time, so a large file never sits in memory whole.
class GedcomReader {
public:
    // keepGoing is asked after every block read from the device, even inside one long line;
    // false stops the reading with ImportCancelled.
    explicit GedcomReader(QIODevice& device, std::function<bool()> keepGoing = {});

    // Reads the header: finds the encoding and checks the version. Call it first.
    Status readHeader();
    const QString& encodingName() const { return encodingName_; }
    const QString& version() const { return version_; }
    // The program that wrote the file, as the header's SOUR names it.
    const QString& source() const { return source_; }

    // The next record after the header; no value once "0 TRLR" is read.
    Result<std::optional<GedcomNode>> nextRecord();

private:
    std::optional<QByteArrayView> nextRawLine();
    qsizetype findBreak(qsizetype from) const;
    char16_t unitAt(qsizetype index) const;
    bool fill();
    void detectByteOrder();
    Status findDeclaredEncoding();
    Status chooseEncoding(const QString& declared);
    std::optional<QString> decode(QByteArrayView raw);
    std::optional<GedcomNode> splitAsBytes(QByteArrayView raw);
    Result<std::optional<GedcomNode>> readLine();
    Result<GedcomNode> readRecord(GedcomNode first);
    Status failureAtLine(const QString& problem) const;

    QIODevice& device_;
    QByteArray buffer_;
    qsizetype position_ = 0;
    qsizetype scanned_ = 0;  // bytes after position_ known to hold no line break
    std::function<bool()> keepGoing_;
    bool cancelled_ = false;
    bool atEnd_ = false;
    int unitSize_ = 1;
    bool bigEndian_ = false;
    bool fixedByMark_ = false;  // a byte-order mark or UTF-16 decided the encoding
    bool ansel_ = false;
    QStringDecoder decoder_;
    std::deque<QByteArray> replay_;  // the header's lines, read once to find the encoding
    QByteArray replayed_;            // the one of them read last
    qint64 lineNumber_ = 0;
    std::optional<GedcomNode> pending_;  // the first line of the next record
    bool finished_ = false;
    QString encodingName_;
    QString version_;
    QString source_;
};

}  // namespace radici

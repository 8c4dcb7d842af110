#include "gedcom/GedcomReader.h"

#include "gedcom/Ansel.h"

#include <QIODevice>
#include <algorithm>
#include <array>

namespace radici {

const GedcomNode* GedcomNode::child(QLatin1StringView childTag) const {
    for (const GedcomNode& node : children)
        if (node.is(childTag)) return &node;
    return nullptr;
}

QString GedcomNode::childValue(QLatin1StringView childTag) const {
    const GedcomNode* node = child(childTag);
    return node ? node->value : QString();
}

namespace {

using namespace Qt::StringLiterals;

constexpr qint64 ChunkBytes = 1 << 16;
constexpr int LongestLevel = 99;

Status Unreadable(const QString& description) {
    return Status::failure(GedcomError::Unreadable, description);
}

Status Truncated(qint64 lastLine) {
    return Unreadable(QStringLiteral("Il file è incompleto: finisce alla riga %1 senza la riga "
                                     "finale \"0 TRLR\" (forse è stato troncato). Il file non è "
                                     "stato importato.")
                          .arg(lastLine));
}

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsTagCharacter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || IsDigit(c) || c == u'_';
}

char16_t Unit(QChar c) { return c.unicode(); }
char16_t Unit(char c) { return static_cast<unsigned char>(c); }

// Where the parts of "level [@xref@] TAG [value]" stand in a line, one blank between them.
struct LineParts {
    int level = 0;
    qsizetype xrefStart = 0;  // with its "@" signs; as long as 0 when there is none
    qsizetype xrefEnd = 0;
    qsizetype tagStart = 0;
    qsizetype tagEnd = 0;
    qsizetype valueStart = -1;  // -1 when the line has no value
};

// The same grammar for a decoded line and for the bytes of one whose first parts are ASCII.
template <typename Text>
std::optional<LineParts> SplitLine(Text text) {
    const qsizetype size = text.size();
    const auto unit = [&](qsizetype index) { return Unit(text[index]); };
    const auto isBlank = [&](qsizetype index) { return IsBlank(QChar(unit(index))); };
    const auto isDigit = [&](qsizetype index) { return IsDigit(QChar(unit(index))); };
    qsizetype at = 0;
    while (at < size && isBlank(at)) ++at;
    const qsizetype levelStart = at;
    while (at < size && isDigit(at)) ++at;
    if (at == levelStart || at - levelStart > 2 || at >= size || unit(at) != u' ') return {};
    LineParts parts;
    for (qsizetype digit = levelStart; digit < at; ++digit)
        parts.level = parts.level * 10 + (unit(digit) - u'0');
    while (at < size && unit(at) == u' ') ++at;
    if (at < size && unit(at) == u'@') {
        qsizetype close = at + 1;
        while (close < size && unit(close) != u'@') ++close;
        if (close == size || close < at + 2 || close + 1 >= size || unit(close + 1) != u' ')
            return {};
        parts.xrefStart = at;
        parts.xrefEnd = close + 1;
        at = close + 1;
        while (at < size && unit(at) == u' ') ++at;
    }
    parts.tagStart = at;
    while (at < size && IsTagCharacter(QChar(unit(at)))) ++at;
    if (at == parts.tagStart || (at < size && unit(at) != u' ')) return {};
    parts.tagEnd = at;
    if (at < size) parts.valueStart = at + 1;
    return parts;
}

// "@@" stands for one "@" in a value; a pointer's single "@" signs are left alone.
QString Unescaped(QString value) {
    // A blank after the tag gives an empty value, not none.
    if (value.isNull()) return u""_s;
    // Looked for first: most values with an "@" are pointers, which hold no "@@".
    const auto isPair = [](QChar first, QChar second) { return first == u'@' && second == u'@'; };
    if (std::adjacent_find(value.cbegin(), value.cend(), isPair) == value.cend()) return value;
    return value.replace(u"@@"_s, u"@"_s);
}

std::optional<GedcomNode> ParseLine(const QString& text) {
    const std::optional<LineParts> parts = SplitLine(QStringView(text));
    if (!parts) return {};
    GedcomNode node;
    node.level = parts->level;
    node.xref = text.mid(parts->xrefStart, parts->xrefEnd - parts->xrefStart);
    node.tag = text.mid(parts->tagStart, parts->tagEnd - parts->tagStart);
    node.packedTag = PackedTag(QStringView(node.tag));
    if (parts->valueStart >= 0) node.value = Unescaped(text.mid(parts->valueStart));
    return node;
}

// The tags of nearly every line, shared rather than made again for each line.
QString TagText(quint32 packed, QByteArrayView tag) {
    static const std::array<QString, 22> common{
        u"NAME"_s, u"GIVN"_s, u"SURN"_s, u"SEX"_s,  u"BIRT"_s, u"DEAT"_s, u"DATE"_s, u"PLAC"_s,
        u"REFN"_s, u"FAMC"_s, u"FAMS"_s, u"HUSB"_s, u"WIFE"_s, u"CHIL"_s, u"MARR"_s, u"INDI"_s,
        u"FAM"_s,  u"CHAN"_s, u"NOTE"_s, u"SOUR"_s, u"CONC"_s, u"CONT"_s};
    static const std::array<quint32, 22> packedCommon = PackedTags(common);
    if (packed != 0)
        if (const auto* known = std::find(packedCommon.begin(), packedCommon.end(), packed);
            known != packedCommon.end())
            return common[static_cast<std::size_t>(known - packedCommon.begin())];
    return QString::fromLatin1(tag);
}

bool IsAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return Unit(c) < 0x80; });
}

QString Shown(const QString& text) {
    constexpr int Longest = 80;
    return text.size() > Longest ? text.left(Longest) + QStringLiteral("…") : text;
}

}  // namespace

GedcomReader::GedcomReader(QIODevice& device, std::function<bool()> keepGoing)
    : device_(device), keepGoing_(std::move(keepGoing)) {}

Status ImportCancelled() {
    return Status::failure(
        GedcomError::Cancelled,
        QStringLiteral("Importazione annullata: il database è rimasto com'era."));
}

bool GedcomReader::fill() {
    if (atEnd_) return false;
    // What is left moves to the front, and the block is read straight into the room after it:
    // the buffer stays allocated from one block to the next.
    std::copy(buffer_.cbegin() + position_, buffer_.cend(), buffer_.begin());
    const qsizetype kept = buffer_.size() - position_;
    position_ = 0;
    buffer_.resize(kept + ChunkBytes);
    const qint64 read = device_.read(buffer_.data() + kept, ChunkBytes);
    buffer_.resize(kept + std::max<qint64>(read, 0));
    if (read <= 0) {
        atEnd_ = true;
        return false;
    }
    if (keepGoing_ && !keepGoing_()) {
        cancelled_ = true;
        atEnd_ = true;
        return false;
    }
    return true;
}

char16_t GedcomReader::unitAt(qsizetype index) const {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(buffer_[i]); };
    if (unitSize_ == 1) return byte(index);
    return bigEndian_ ? char16_t(byte(index) << 8 | byte(index + 1))
                      : char16_t(byte(index + 1) << 8 | byte(index));
}

qsizetype GedcomReader::findBreak(qsizetype from) const {
    if (unitSize_ == 1) {
        const auto end = std::find_if(buffer_.cbegin() + from, buffer_.cend(),
                                      [](char c) { return c == '\r' || c == '\n'; });
        return end == buffer_.cend() ? -1 : end - buffer_.cbegin();
    }
    const qsizetype last = buffer_.size() - unitSize_;
    for (qsizetype at = from; at <= last; at += unitSize_) {
        const char16_t unit = unitAt(at);
        if (unit == u'\r' || unit == u'\n') return at;
    }
    return -1;
}

// Lines end with CR, LF or CR LF. The bytes stay valid until the next call.
std::optional<QByteArrayView> GedcomReader::nextRawLine() {
    if (!replay_.empty()) {
        replayed_ = std::move(replay_.front());
        replay_.pop_front();
        return QByteArrayView(replayed_);
    }
    for (;;) {
        // A long line is scanned once: the search goes on where the last fill left it.
        const qsizetype end = findBreak(position_ + scanned_);
        // A CR at the very end of what is read may be followed by an LF still in the file.
        const bool complete =
            end >= 0 && (unitAt(end) == u'\n' || end + unitSize_ < buffer_.size() || atEnd_);
        if (complete) {
            const QByteArrayView line = QByteArrayView(buffer_).sliced(position_, end - position_);
            position_ = end + unitSize_;
            scanned_ = 0;
            if (unitAt(end) == u'\r' && position_ + unitSize_ <= buffer_.size() &&
                unitAt(position_) == u'\n')
                position_ += unitSize_;
            return line;
        }
        scanned_ =
            end >= 0 ? end - position_ : (buffer_.size() - position_) / unitSize_ * unitSize_;
        if (!fill()) {
            if (end >= 0) continue;
            if (position_ >= buffer_.size()) return std::nullopt;
            const QByteArrayView line = QByteArrayView(buffer_).sliced(position_);
            position_ = buffer_.size();
            scanned_ = 0;
            return line;
        }
    }
}

void GedcomReader::detectByteOrder() {
    while (buffer_.size() < 4 && fill()) {
    }
    const QByteArray start = buffer_.left(4);
    if (start.startsWith("\xEF\xBB\xBF")) {
        position_ = 3;
        decoder_ = QStringDecoder(QStringConverter::Utf8);
        encodingName_ = QStringLiteral("UTF-8");
    } else if (start.startsWith("\xFF\xFE") || (start.size() > 1 && start[1] == '\0')) {
        position_ = start.startsWith("\xFF\xFE") ? 2 : 0;
        unitSize_ = 2;
        decoder_ = QStringDecoder(QStringConverter::Utf16LE);
        encodingName_ = QStringLiteral("UTF-16");
    } else if (start.startsWith("\xFE\xFF") || start.startsWith('\0')) {
        position_ = start.startsWith("\xFE\xFF") ? 2 : 0;
        unitSize_ = 2;
        bigEndian_ = true;
        decoder_ = QStringDecoder(QStringConverter::Utf16BE);
        encodingName_ = QStringLiteral("UTF-16");
    } else {
        return;
    }
    fixedByMark_ = true;
}

// Reads the header's lines as bytes to find "1 CHAR", and keeps them to be read again in it.
Status GedcomReader::findDeclaredEncoding() {
    QString declared;
    std::deque<QByteArray> header;
    while (std::optional<QByteArrayView> raw = nextRawLine()) {
        const std::optional<GedcomNode> node = ParseLine(QString::fromLatin1(*raw));
        header.push_back(raw->toByteArray());
        if (node && node->level == 0 && header.size() > 1) break;
        if (node && node->level == 1 && node->tag == QLatin1StringView("CHAR"))
            declared = node->value.trimmed();
    }
    replay_ = std::move(header);
    return chooseEncoding(declared);
}

Status GedcomReader::chooseEncoding(const QString& declared) {
    const QString name = declared.toUpper();
    if (name.isEmpty() || name == u"UTF-8" || name == u"UTF8" || name == u"UNICODE") {
        decoder_ = QStringDecoder(QStringConverter::Utf8);
        encodingName_ = QStringLiteral("UTF-8");
    } else if (name == u"ASCII") {
        decoder_ = QStringDecoder(QStringConverter::Utf8);
        encodingName_ = QStringLiteral("ASCII");
    } else if (name == u"ANSI") {
        decoder_ = QStringDecoder("windows-1252");
        encodingName_ = QStringLiteral("ANSI (Windows-1252)");
    } else if (name == u"ANSEL") {
        ansel_ = true;
        encodingName_ = QStringLiteral("ANSEL");
    } else {
        return Unreadable(
            QStringLiteral("Il file usa la codifica dei caratteri \"%1\", che Radici non sa "
                           "leggere (legge UTF-8, UTF-16, ASCII, ANSI e ANSEL). Salva di nuovo "
                           "il file in UTF-8 con il programma che l'ha scritto.")
                .arg(Shown(declared)));
    }
    return Status::success();
}

std::optional<QString> GedcomReader::decode(QByteArrayView raw) {
    if (ansel_) return DecodeAnsel(raw);
    // ASCII reads the same in every encoding read here but UTF-16, and needs no decoder.
    if (unitSize_ == 1 && IsAscii(raw)) return QString::fromLatin1(raw);
    decoder_.resetState();
    QString text = decoder_(raw);
    if (decoder_.hasError()) return std::nullopt;
    return text;
}

Status GedcomReader::failureAtLine(const QString& problem) const {
    return Unreadable(QStringLiteral("Riga %1 del file: %2 Il file non è stato importato.")
                          .arg(lineNumber_)
                          .arg(problem));
}

// A line whose level, reference and tag are ASCII, as nearly every line is, split as bytes with
// only its value decoded; none for any other line, which readLine decodes whole.
std::optional<GedcomNode> GedcomReader::splitAsBytes(QByteArrayView raw) {
    if (unitSize_ != 1 || ansel_) return {};
    const std::optional<LineParts> parts = SplitLine(raw);
    if (!parts) return {};
    const QByteArrayView xref = raw.sliced(parts->xrefStart, parts->xrefEnd - parts->xrefStart);
    // A value that begins with a byte-order mark would lose it to the decoder.
    if (!IsAscii(xref) ||
        (parts->valueStart >= 0 && raw.sliced(parts->valueStart).startsWith("\xEF\xBB\xBF")))
        return {};
    GedcomNode node;
    if (parts->valueStart >= 0) {
        std::optional<QString> value = decode(raw.sliced(parts->valueStart));
        if (!value) return {};
        node.value = Unescaped(std::move(*value));
    }
    node.level = parts->level;
    node.xref = QString::fromLatin1(xref);
    const QByteArrayView tag = raw.sliced(parts->tagStart, parts->tagEnd - parts->tagStart);
    node.packedTag = PackedTag(QLatin1StringView(tag));
    node.tag = TagText(node.packedTag, tag);
    return node;
}

// The next line that is not blank, or no value at the end of the file.
Result<std::optional<GedcomNode>> GedcomReader::readLine() {
    while (std::optional<QByteArrayView> raw = nextRawLine()) {
        if (cancelled_) return ImportCancelled();
        ++lineNumber_;
        if (std::optional<GedcomNode> node = splitAsBytes(*raw)) {
            node->line = lineNumber_;
            return node;
        }
        const std::optional<QString> text = decode(*raw);
        if (!text)
            return failureAtLine(QStringLiteral("contiene caratteri non validi nella codifica %1.")
                                     .arg(encodingName_));
        if (text->trimmed().isEmpty()) continue;
        std::optional<GedcomNode> node = ParseLine(*text);
        if (!node)
            return failureAtLine(
                QStringLiteral("\"%1\" non è una riga GEDCOM (livello, [riferimento], "
                               "etichetta, [valore]).")
                    .arg(Shown(*text)));
        node->line = lineNumber_;
        return node;
    }
    if (cancelled_) return ImportCancelled();
    return std::optional<GedcomNode>();
}

Result<GedcomNode> GedcomReader::readRecord(GedcomNode first) {
    if (first.level != 0)
        return failureAtLine(QStringLiteral("un record deve cominciare al livello 0."));
    GedcomNode record = std::move(first);
    std::vector<GedcomNode*> path{&record};
    for (;;) {
        Result<std::optional<GedcomNode>> read = readLine();
        if (!read.ok()) return read.status();
        std::optional<GedcomNode>& line = read.value();
        if (!line) return Truncated(lineNumber_);
        if (line->level == 0) {
            pending_ = std::move(line);
            return record;
        }
        if (line->level > static_cast<int>(path.size()) || line->level > LongestLevel)
            return failureAtLine(QStringLiteral("il livello %1 segue il livello %2.")
                                     .arg(line->level)
                                     .arg(path.size() - 1));
        path.resize(static_cast<std::size_t>(line->level));
        GedcomNode* parent = path.back();
        if (line->is(QLatin1StringView("CONC"))) {
            parent->value += line->value;
        } else if (line->is(QLatin1StringView("CONT"))) {
            parent->value += u'\n' + line->value;
        } else {
            // Room for the few lines a record's line holds, at once rather than one by one.
            if (parent->children.empty()) parent->children.reserve(4);
            parent->children.push_back(std::move(*line));
            path.push_back(&parent->children.back());
        }
    }
}

Status GedcomReader::readHeader() {
    detectByteOrder();
    if (!fixedByMark_) {
        if (Status found = findDeclaredEncoding(); !found.ok()) return found;
    }
    Result<std::optional<GedcomNode>> first = readLine();
    if (!first.ok()) return first.status();
    if (!first.value() || first.value()->level != 0 || first.value()->tag != u"HEAD")
        return Unreadable(
            QStringLiteral("Il file non è un file GEDCOM: non comincia con la "
                           "riga \"0 HEAD\". Il file non è stato importato."));
    Result<GedcomNode> header = readRecord(std::move(*first.value()));
    if (!header.ok()) return header.status();
    const GedcomNode* gedc = header.value().child(QLatin1StringView("GEDC"));
    version_ = gedc ? gedc->childValue(QLatin1StringView("VERS")).trimmed() : QString();
    source_ = header.value().childValue(QLatin1StringView("SOUR")).trimmed();
    if (!version_.isEmpty() && !version_.startsWith(u"5.5") && !version_.startsWith(u"7.0"))
        return Unreadable(QStringLiteral("Il file è nella versione GEDCOM %1, che Radici non "
                                         "legge: legge le versioni 5.5, 5.5.1 e 7.0. Il file "
                                         "non è stato importato.")
                              .arg(Shown(version_)));
    return Status::success();
}

Result<std::optional<GedcomNode>> GedcomReader::nextRecord() {
    if (finished_) return std::optional<GedcomNode>();
    std::optional<GedcomNode> first = std::move(pending_);
    pending_.reset();
    if (!first) {
        Result<std::optional<GedcomNode>> read = readLine();
        if (!read.ok()) return read.status();
        first = std::move(read.value());
    }
    if (!first) return Truncated(lineNumber_);
    if (first->level == 0 && first->tag == u"TRLR") {
        finished_ = true;
        return std::optional<GedcomNode>();
    }
    Result<GedcomNode> record = readRecord(std::move(*first));
    if (!record.ok()) return record.status();
    return std::optional<GedcomNode>(std::move(record).value());
}

}  // namespace radici

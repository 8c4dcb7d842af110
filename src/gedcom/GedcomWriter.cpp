#include "GedcomWriter.h"

#include <QIODevice>
#include <QRegularExpression>
#include <algorithm>
#include <charconv>

namespace radici {

namespace {

using namespace Qt::StringLiterals;

// Written to the device in blocks about this large: fewer, larger writes cost less.
constexpr std::size_t BufferLimit = 1 << 20;

qsizetype Width(QChar c) { return c == u'@' ? 2 : 1; }

// The end of the longest piece of value from start whose written form fits in room, moved back
// so that no blank is left at either side of the cut (readers may drop it) and no character is
// cut in two.
qsizetype PieceEnd(const QString& value, qsizetype start, qsizetype room) {
    qsizetype end = start;
    for (qsizetype used = 0; end < value.size() && used + Width(value[end]) <= room; ++end)
        used += Width(value[end]);
    if (end == value.size()) return end;
    qsizetype cut = end;
    while (cut > start + 1 &&
           (value[cut].isSpace() || value[cut - 1].isSpace() || value[cut].isLowSurrogate()))
        --cut;
    if (cut > start + 1) return cut;
    return value[end].isLowSurrogate() ? end - 1 : end;
}

// Every "@" doubled but those of an escape such as "@#DJULIAN@", which a date names its calendar
// with and other programs read only as written.
QByteArray Escaped(QStringView piece) {
    if (!piece.contains(u'@')) return piece.toUtf8();
    static const QRegularExpression escape(QStringLiteral("@#D[A-Z ]+@"));
    const QString value = piece.toString();
    QString written;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : escape.globalMatch(value)) {
        written +=
            value.mid(from, match.capturedStart() - from).replace(u'@', u"@@"_s) + match.captured();
        from = match.capturedEnd();
    }
    return (written + value.mid(from).replace(u'@', u"@@"_s)).toUtf8();
}

// Whether UTF-8 text reads back as the same bytes and holds nothing a GEDCOM value must escape
// or break: decoding drops a byte order mark at the start and replaces invalid bytes.
bool AsItIs(QByteArrayView utf8) {
    bool ascii = true;
    for (const char c : utf8) {
        if (c == '@' || c == '\n' || c == '\r') return false;
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    return ascii || (utf8.isValidUtf8() && !utf8.startsWith("\xEF\xBB\xBF"));
}

}  // namespace

GedcomWriter::GedcomWriter(QIODevice& device) : device_(device) {
    buffer_.reserve(BufferLimit + MaxLineLength);
}

void GedcomWriter::record(QByteArrayView xref, const char* tag) {
    lineStart_ = buffer_.size();
    buffer_ += "0 ";
    buffer_.append(xref.data(), std::size_t(xref.size()));
    buffer_ += ' ';
    buffer_ += tag;
    end();
}

void GedcomWriter::line(int level, const char* tag, const QString& value) {
    start(level, tag);
    if (!value.contains(u'\n') && !value.contains(u'\r')) {
        text(value, level + 1);
        return;
    }
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList parts = value.split(lineBreak);
    text(parts.first(), level + 1);
    for (qsizetype part = 1; part < parts.size(); ++part) {
        start(level + 1, "CONT");
        text(parts[part], level + 1);
    }
}

void GedcomWriter::utf8Line(int level, const char* tag,
                            std::initializer_list<QByteArrayView> pieces) {
    start(level, tag);
    qsizetype size = 0;
    for (const QByteArrayView piece : pieces) size += piece.size();
    // UTF-8 takes at least as many bytes as the characters the line length counts.
    const qsizetype room = MaxLineLength - 2 - qsizetype(buffer_.size() - lineStart_);
    if (size <= room && std::all_of(pieces.begin(), pieces.end(), AsItIs)) {
        if (size > 0) buffer_ += ' ';
        for (const QByteArrayView piece : pieces)
            buffer_.append(piece.data(), std::size_t(piece.size()));
        end();
        return;
    }
    buffer_.resize(lineStart_);
    QString value;
    for (const QByteArrayView piece : pieces) value += QString::fromUtf8(piece);
    line(level, tag, value);
}

void GedcomWriter::pointer(int level, const char* tag, QByteArrayView xref) {
    start(level, tag);
    buffer_ += ' ';
    buffer_.append(xref.data(), std::size_t(xref.size()));
    end();
}

void GedcomWriter::start(int level, const char* tag) {
    lineStart_ = buffer_.size();
    char digits[12];
    buffer_.append(digits, std::to_chars(digits, std::end(digits), level).ptr);
    buffer_ += ' ';
    buffer_ += tag;
}

// Writes the value after the tag already started, going on with CONC lines at the given level
// as long as it needs.
void GedcomWriter::text(const QString& value, int continuationLevel) {
    qsizetype from = 0;
    for (;;) {
        // The room left on this line for a blank and the value, before the line end.
        const qsizetype room = MaxLineLength - 2 - qsizetype(buffer_.size() - lineStart_);
        if (from < value.size()) {
            const qsizetype to = PieceEnd(value, from, room);
            buffer_ += ' ';
            const QByteArray piece = Escaped(QStringView(value).mid(from, to - from));
            buffer_.append(piece.data(), std::size_t(piece.size()));
            from = to;
        }
        end();
        if (from >= value.size()) return;
        start(continuationLevel, "CONC");
    }
}

void GedcomWriter::end() {
    buffer_ += '\n';
    writeSoon();
}

void GedcomWriter::writeSoon() {
    if (buffer_.size() >= BufferLimit) flush();
}

bool GedcomWriter::flush() {
    if (!buffer_.empty() && !failed_)
        failed_ = device_.write(buffer_.data(), qint64(buffer_.size())) != qint64(buffer_.size());
    buffer_.clear();
    return !failed_;
}

}  // namespace radici

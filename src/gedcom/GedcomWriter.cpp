#include "GedcomWriter.h"

#include <QIODevice>
#include <QRegularExpression>

namespace radici {

namespace {

using namespace Qt::StringLiterals;

constexpr qsizetype BufferLimit = 1 << 16;

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

}  // namespace

void GedcomWriter::record(const QByteArray& xref, const char* tag) {
    lineStart_ = buffer_.size();
    buffer_ += "0 ";
    buffer_ += xref;
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

void GedcomWriter::pointer(int level, const char* tag, const QByteArray& xref) {
    start(level, tag);
    buffer_ += ' ';
    buffer_ += xref;
    end();
}

void GedcomWriter::start(int level, const char* tag) {
    lineStart_ = buffer_.size();
    buffer_ += QByteArray::number(level);
    buffer_ += ' ';
    buffer_ += tag;
}

// Writes the value after the tag already started, going on with CONC lines at the given level
// as long as it needs.
void GedcomWriter::text(const QString& value, int continuationLevel) {
    qsizetype from = 0;
    for (;;) {
        // The room left on this line for a blank and the value, before the line end.
        const qsizetype room = MaxLineLength - 2 - (buffer_.size() - lineStart_);
        if (from < value.size()) {
            const qsizetype to = PieceEnd(value, from, room);
            buffer_ += ' ';
            buffer_ += Escaped(QStringView(value).mid(from, to - from));
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
    if (!buffer_.isEmpty() && !failed_) failed_ = device_.write(buffer_) != buffer_.size();
    buffer_.clear();
    return !failed_;
}

}  // namespace radici

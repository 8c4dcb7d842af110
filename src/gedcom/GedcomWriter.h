#pragma once

#include <QByteArrayView>
#include <QString>
#include <initializer_list>
#include <string>

class QIODevice;

namespace radici {

// Writes GEDCOM lines "level [@xref@] TAG [value]" in UTF-8, buffered. A value longer than a line
// holds continues on CONC lines, a line break inside a value starts a CONT line, and "@" in a
// value is doubled as GEDCOM requires.
class GedcomWriter {
public:
    // Characters in a line, its line end included.
    static constexpr int MaxLineLength = 255;

    explicit GedcomWriter(QIODevice& device);
    GedcomWriter(const GedcomWriter&) = delete;
    GedcomWriter& operator=(const GedcomWriter&) = delete;

    // "0 @xref@ TAG"
    void record(QByteArrayView xref, const char* tag);
    void line(int level, const char* tag, const QString& value = QString());
    // The same for a value given in UTF-8 as pieces one after another: copied as it is when it
    // needs nothing of the above, as a line of the pieces each decoded otherwise.
    void utf8Line(int level, const char* tag, std::initializer_list<QByteArrayView> pieces);
    // "level TAG @xref@": a pointer to a record, written as it is.
    void pointer(int level, const char* tag, QByteArrayView xref);

    // Writes what is buffered; false when the device refused it (see errorString).
    bool flush();
    bool failed() const { return failed_; }

private:
    void start(int level, const char* tag);
    void text(const QString& value, int continuationLevel);
    void end();
    void writeSoon();

    QIODevice& device_;
    std::string buffer_;
    std::size_t lineStart_ = 0;  // where the line being written begins in the buffer
    bool failed_ = false;
};

}  // namespace radici

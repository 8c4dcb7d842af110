#pragma once

#include <QLineEdit>
#include <QValidator>
#include <QWidget>

namespace radici {

// Keeps a text box to whole, printable characters, whatever is typed or pasted into it. A box
// cuts a text at its length limit counted in UTF-16 units, which can leave half of a character
// such as an emoji; that half is dropped rather than stored as a broken character. Line breaks,
// tabs and other control characters of a pasted text become blanks: a name or a place is one line.
class TypedTextValidator final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& text, int& cursor) const override {
        QString kept;
        kept.reserve(text.size());
        int keptCursor = cursor;
        for (qsizetype at = 0; at < text.size(); ++at) {
            if (!wholeAt(text, at)) {
                if (at < cursor) --keptCursor;
                continue;
            }
            kept += lineBreaking(text[at]) ? QChar(u' ') : text[at];
        }
        text = kept;
        cursor = keptCursor;
        return Acceptable;
    }

private:
    static bool wholeAt(const QString& text, qsizetype at) {
        const QChar unit = text[at];
        if (unit.isHighSurrogate()) return at + 1 < text.size() && text[at + 1].isLowSurrogate();
        if (unit.isLowSurrogate()) return at > 0 && text[at - 1].isHighSurrogate();
        return true;
    }

    static bool lineBreaking(QChar unit) {
        const QChar::Category category = unit.category();
        return category == QChar::Other_Control || category == QChar::Separator_Line ||
               category == QChar::Separator_Paragraph;
    }
};

// Gives every text box of the window the validator above.
inline void KeepTypedTextWhole(QWidget& window) {
    for (QLineEdit* box : window.findChildren<QLineEdit*>())
        box->setValidator(new TypedTextValidator(box));
}

}  // namespace radici

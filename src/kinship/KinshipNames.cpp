#include "KinshipNames.h"

#include <array>

namespace radici {
namespace {

// One word in its man's, woman's and neutral form; %1 stands for a number where one is needed.
struct Forms {
    const char* male;
    const char* female;
    const char* neutral;

    QString of(KnownSex sex) const {
        switch (sex) {
            case KnownSex::Man:
                return QString::fromUtf8(male);
            case KnownSex::Woman:
                return QString::fromUtf8(female);
            case KnownSex::Unknown:
                break;
        }
        return QString::fromUtf8(neutral);
    }
};

// Ancestors by generations up, 1 to 4, then the general form.
constexpr std::array<Forms, 4> Ancestors{{{"padre", "madre", "genitore"},
                                          {"nonno", "nonna", "nonno/a"},
                                          {"bisnonno", "bisnonna", "bisnonno/a"},
                                          {"trisnonno", "trisnonna", "trisnonno/a"}}};
constexpr Forms FarAncestor{"antenato di %1 generazioni", "antenata di %1 generazioni",
                            "antenato/a di %1 generazioni"};
// Descendants by generations down, 1 to 3, then the general form.
constexpr std::array<Forms, 3> Descendants{{{"figlio", "figlia", "figlio/a"},
                                            {"nipote", "nipote", "nipote"},
                                            {"pronipote", "pronipote", "pronipote"}}};
constexpr Forms FarDescendant{"discendente di %1 generazioni", "discendente di %1 generazioni",
                              "discendente di %1 generazioni"};
constexpr Forms Sibling{"fratello", "sorella", "fratello/sorella"};
constexpr Forms HalfSibling{"fratellastro", "sorellastra", "fratellastro/sorellastra"};
// A parent's and a grandparent's brother or sister.
constexpr std::array<Forms, 2> Uncles{{{"zio", "zia", "zio/a"}, {"prozio", "prozia", "prozio/a"}}};
// A brother's or sister's child and grandchild.
constexpr std::array<Forms, 2> Nephews{
    {{"nipote", "nipote", "nipote"}, {"pronipote", "pronipote", "pronipote"}}};
constexpr Forms Cousin{"cugino di %1 grado", "cugina di %1 grado", "cugino/a di %1 grado"};
constexpr std::array<const char*, 10> Ordinals{"primo", "secondo", "terzo",  "quarto", "quinto",
                                               "sesto", "settimo", "ottavo", "nono",   "decimo"};
constexpr Forms Spouse{"marito", "moglie", "coniuge"};
constexpr Forms SpouseParent{"suocero", "suocera", "suocero/a"};
constexpr Forms ChildSpouse{"genero", "nuora", "genero/nuora"};
constexpr Forms SiblingInLaw{"cognato", "cognata", "cognato/a"};

// Any of the tables, by generations; past its end the general form with the number.
template <std::size_t N>
QString Nth(const std::array<Forms, N>& table, const Forms& beyond, int generations, KnownSex sex) {
    if (generations <= static_cast<int>(N)) return table[generations - 1].of(sex);
    return beyond.of(sex).arg(generations);
}

QString Ancestor(int up, KnownSex sex) { return Nth(Ancestors, FarAncestor, up, sex); }
QString Descendant(int down, KnownSex sex) { return Nth(Descendants, FarDescendant, down, sex); }

// Brothers and sisters (cousins 0), first cousins (1), second cousins (2)...
QString SameGeneration(int cousins, KnownSex sex) {
    if (cousins == 0) return Sibling.of(sex);
    const QString ordinal = cousins <= static_cast<int>(Ordinals.size())
                                ? QString::fromUtf8(Ordinals[cousins - 1])
                                : QString::number(cousins) + u'°';
    return Cousin.of(sex).arg(ordinal);
}

bool StartsWithVowel(const QString& word) {
    return !word.isEmpty() && QStringLiteral("aeiou").contains(word.front());
}

// "lo", "uno" stand before z, gn, ps and s followed by a consonant.
bool TakesLo(const QString& word) {
    return word.startsWith(u'z') || word.startsWith(QLatin1String("gn")) ||
           word.startsWith(QLatin1String("ps")) ||
           (word.size() > 1 && word.front() == u's' && !StartsWithVowel(word.mid(1)));
}

// "del padre", "della nonna", "dello zio", "dell'antenata...".
QString OfThe(const QString& word, KnownSex sex) {
    if (StartsWithVowel(word)) return QStringLiteral("dell'") + word;
    if (sex == KnownSex::Woman) return QStringLiteral("della ") + word;
    return (TakesLo(word) ? QStringLiteral("dello ") : QStringLiteral("del ")) + word;
}

// "di un cugino", "di una cugina", "di uno zio".
QString OfOne(const QString& word, KnownSex sex) {
    if (sex == KnownSex::Woman)
        return (StartsWithVowel(word) ? QStringLiteral("di un'") : QStringLiteral("di una ")) +
               word;
    return (TakesLo(word) ? QStringLiteral("di uno ") : QStringLiteral("di un ")) + word;
}

QString SharedParentNote(SharedParent shared) {
    switch (shared) {
        case SharedParent::Father:
            return QStringLiteral(" (stesso padre)");
        case SharedParent::Mother:
            return QStringLiteral(" (stessa madre)");
        case SharedParent::One:
        case SharedParent::Both:
            break;
    }
    return {};
}

// Collateral relatives whose generations differ are said through the one person between:
// "figlio di un cugino di primo grado", "cugino di primo grado del padre".
QString Collateral(const KinshipTerms& t) {
    if (t.up == 1 && t.down == 1) {
        if (t.shared == SharedParent::Both) return Sibling.of(t.sex);
        return HalfSibling.of(t.sex) + SharedParentNote(t.shared);
    }
    QString words;
    if (t.down == 1 && t.up <= 1 + static_cast<int>(Uncles.size())) {
        words = Uncles[t.up - 2].of(t.sex);
    } else if (t.up == 1 && t.down <= 1 + static_cast<int>(Nephews.size())) {
        words = Nephews[t.down - 2].of(t.sex);
    } else if (t.up == t.down) {
        words = SameGeneration(t.up - 1, t.sex);
    } else if (t.up > t.down) {
        words = SameGeneration(t.down - 1, t.sex) + u' ' +
                OfThe(Ancestor(t.up - t.down, t.linkSex), t.linkSex);
    } else {
        words = Descendant(t.down - t.up, t.sex) + u' ' +
                OfOne(SameGeneration(t.up - 1, t.linkSex), t.linkSex);
    }
    if (t.shared != SharedParent::Both) words += QStringLiteral(" (un solo antenato in comune)");
    return words;
}

QString BloodWords(const KinshipTerms& t) {
    if (t.down == 0) return Ancestor(t.up, t.sex);
    if (t.up == 0) return Descendant(t.down, t.sex);
    return Collateral(t);
}

QString Degree(const char* kind, int degree) {
    QString text = QString::fromUtf8(kind).arg(degree);
    if (degree > LastLegalDegree)
        text += QStringLiteral(" (oltre il sesto grado la legge non riconosce parentela)");
    return text;
}

}  // namespace

KnownSex SexOf(const std::optional<SexCode>& code) {
    if (!IsKnownSex(code)) return KnownSex::Unknown;
    return *code == Male ? KnownSex::Man : KnownSex::Woman;
}

KinshipWords NameKinship(const KinshipTerms& t) {
    const int degree = t.up + t.down;
    switch (t.bond) {
        case Bond::Spouses:
            return {Spouse.of(t.sex), {}};
        case Bond::Blood: {
            const bool direct = t.up == 0 || t.down == 0;
            return {BloodWords(t), Degree(direct ? "parente di %1° grado in linea retta"
                                                 : "parente di %1° grado in linea collaterale",
                                          degree)};
        }
        case Bond::SpouseRelative: {
            QString words;
            if (t.up == 1 && t.down == 0)
                words = SpouseParent.of(t.sex);
            else if (t.up == 1 && t.down == 1)
                words = SiblingInLaw.of(t.sex);
            else
                words = BloodWords(t) + u' ' + OfThe(Spouse.of(t.spouseSex), t.spouseSex);
            return {words, Degree("affine di %1° grado", degree)};
        }
        case Bond::RelativeSpouse: {
            QString words;
            if (t.up == 0 && t.down == 1) {
                words = ChildSpouse.of(t.sex);
            } else if (t.up == 1 && t.down == 1) {
                words = SiblingInLaw.of(t.sex);
            } else {
                KinshipTerms relative = t;
                relative.sex = t.spouseSex;
                words = Spouse.of(t.sex) + u' ' + OfThe(BloodWords(relative), t.spouseSex);
            }
            return {words, Degree("affine di %1° grado", degree)};
        }
    }
    return {};
}

}  // namespace radici

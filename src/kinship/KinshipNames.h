#pragma once

#include "store/Records.h"

#include <QString>

namespace radici {

enum class KnownSex { Man, Woman, Unknown };

// A stored sex code other than 0 and 1 is a sex the file does not tell.
KnownSex SexOf(const std::optional<SexCode>& code);

// How the second person is tied to the first.
enum class Bond {
    Blood,           // both descend from the same ancestor, or one from the other
    SpouseRelative,  // the second is a blood relative of the first person's spouse
    RelativeSpouse,  // the second is the spouse of a blood relative of the first
    Spouses,
};

// Which parents two brothers or sisters share; only "Both" is a full relationship.
enum class SharedParent { Both, Father, Mother, One };

// A relationship as words are chosen for it. For the blood part, up counts the generations from
// the first person (or, through a spouse, from the first person's spouse) up to the common
// ancestor and down those from there to the second person (or to the second person's spouse).
struct KinshipTerms {
    int up = 0;
    int down = 0;
    KnownSex sex = KnownSex::Unknown;  // of the second person
    // Of the one person the words name on the way: the first person's ancestor whose cousin the
    // second is (up > down), or the brother or cousin whose descendant the second is (down > up).
    KnownSex linkSex = KnownSex::Unknown;
    // Through a marriage: the first person's spouse (SpouseRelative) or the blood relative whose
    // spouse the second person is (RelativeSpouse).
    KnownSex spouseSex = KnownSex::Unknown;
    SharedParent shared = SharedParent::Both;
    Bond bond = Bond::Blood;
};

struct KinshipWords {
    QString words;   // what the second person is to the first, in everyday Italian
    QString degree;  // the degree the civil code counts; empty between spouses
};

KinshipWords NameKinship(const KinshipTerms& terms);

// Beyond this degree the law counts no kinship.
inline constexpr int LastLegalDegree = 6;

}  // namespace radici

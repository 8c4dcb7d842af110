#pragma once

#include "ChartLayout.h"
#include "kinship/KinshipFinder.h"

namespace radici {

// The path of one relationship in chart boxes: the common ancestor (or the couple, or the two
// spouses) at the top, the first person's line of descent on the left and the second's on the
// right, a spouse through whom the affinity runs beside the end of their line. The first box is
// the first person's.
ChartLayout LayoutKinshipPath(const Kinship& kinship, const Relationship& relationship);

// "Parentela tra NOME COGNOME e NOME COGNOME".
QString KinshipTitle(const Kinship& kinship);

}  // namespace radici

#pragma once
// Numbers as the databases store them: texts. One home for each form, since
// integrity codes are computed over them and two copies could drift.
#include <QString>

// A score as stored, by the submission and by marking alike: "%.1f" (ties
// of the binary value to even, as C's printf), cut before the "." when it
// ends in "0" (83.0 gives 83, 83.5 stays, 1.25 gives 1.2).
QString scoreText(double score);

// A paper's full marks as stored (满分, sealed by the paper's code): one
// decimal, as composition shows it ("100.0", "60.0").
QString fullMarksText(double marks);

// Points as stored (分值 of a drawn question, a marked essay): the plain
// decimal text of the number, 2 gives "2", 2.5 gives "2.5".
QString pointsText(double points);

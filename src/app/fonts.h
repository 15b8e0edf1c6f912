#pragma once

namespace corvane {

// The windows name classic Windows fonts ("宋体", "MS Sans Serif", "Tahoma");
// map them to installed families so Chinese renders everywhere. Qt takes a
// substitute only for a family it cannot find, so Windows keeps its own.
void installFontSubstitutions();

} // namespace corvane

#pragma once

namespace corvane {

// The windows name classic Windows fonts ("宋体", "MS Sans Serif", "Tahoma");
// map them to installed families so Chinese renders everywhere.
void installFontSubstitutions();

} // namespace corvane

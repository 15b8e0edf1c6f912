#pragma once

#include "widgets/imagelist.h"

#include <QIcon>

namespace corvane {

// The program's own pictures, drawn in code so they stay crisp and of one style.
namespace ImageIndex {
inline constexpr int Ring = 0;
inline constexpr int CallLog = 4;
inline constexpr int Settings = 5;
inline constexpr int Customer = 20;
inline constexpr int Exit = 34;
inline constexpr int ShowWindow = 36;
inline constexpr int Help = 37;
} // namespace ImageIndex

// Fills an image list with the menu pictures at their indexes.
void fillMenuImages(ImageList &images);
QIcon applicationIcon();

} // namespace corvane

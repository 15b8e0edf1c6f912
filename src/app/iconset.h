#pragma once

#include "widgets/imagelist.h"

#include <QIcon>

namespace corvane {

// The program's own pictures, drawn in code so they stay crisp and of one style.
// The menu pictures stand in the menu image list in this order.
enum class MenuImage { Ring, CallLog, Settings, Customer, Exit, ShowWindow, Help };

// Fills an empty image list with the menu pictures, each at its MenuImage index.
void fillMenuImages(ImageList &images);
QIcon applicationIcon();

} // namespace corvane

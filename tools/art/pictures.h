// The pictures and icons of setup.exe.
#pragma once

#include <vector>

#include "tools/art/image.h"

namespace art {

// 120 x 168, standard 16 colours, on teal: a desktop computer with its
// monitor, floppy disks and compact discs (bitmap 200).
Image DrawComputer();

// 120 x 168, standard 16 colours, on teal: an open Start menu over its
// taskbar with the product highlighted in a sub-menu (bitmap 201).
Image DrawStartMenu();

// The maker's banner: 334 x 58 (bitmap 202), the stripes alone 20 x 58
// (bitmap 203), both with the 256-entry BannerPalette.
Image DrawBanner();
Image DrawBannerFill();
std::vector<Rgb> BannerPalette();

// The separator line: 10 x 2, five-entry SeparatorPalette (bitmap 204).
Image DrawSeparator();
std::vector<Rgb> SeparatorPalette();

// Icons in the standard 16 colours, `size` 32 or 16, transparent around.
Image DrawProgramIcon(int size);   // icon 100: a computer receiving a disk
Image DrawShortcutIcon(int size);  // icon 101: a program group with a shortcut arrow

}  // namespace art

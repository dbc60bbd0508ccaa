// portavo-table: prints the file table that the build compiled into
// setup.exe. It is linked with the same generated product_config.cpp.
#include "core/config.h"
#include "core/text.h"

#include <cstdio>

int main() {
    const ProductConfig& p = g_product;
    const ReleaseTime& t = p.releaseTime;
    printf("%s %s - %s\n", p.productName, p.version, p.tagline);
    printf("%s, %s\n", p.companyName, p.helpLink);
    printf("Release time %04u-%02u-%02u %02u:%02u:%02u.%03u (day of week %u); "
           "%d entries, the first %d with a shortcut\n\n",
           t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds, t.dayOfWeek, p.fileCount,
           p.shortcutCount);
    printf(" #  %-20s %-8s %-5s %-9s %-16s %9s %9s\n", "File name", "Folder", "Flags", "Resource",
           "Shortcut", "Packed", "Unpacked");
    uint32_t packed = 0, unpacked = 0;
    char a[kThousandsTextSize], b[kThousandsTextSize];
    for (int i = 0; i < p.fileCount; ++i) {
        const FileEntry& f = p.files[i];
        // The install step writes to the Windows folder when bit 1 is set.
        const char* folder = (f.flags & kInWindowsFolder) ? "Windows" : "install";
        FormatThousands(f.packedSize, a);
        FormatThousands(f.unpackedSize, b);
        printf("%2d  %-20s %-8s 0x%02X  %-9s %-16s %9s %9s\n", i, f.fileName, folder,
               static_cast<unsigned>(f.flags), f.resourceName, f.shortcutName, a, b);
        packed += f.packedSize;
        unpacked += f.unpackedSize;
    }
    FormatThousands(packed, a);
    FormatThousands(unpacked, b);
    printf("    %-62s %9s %9s\n", "Total", a, b);
    return 0;
}

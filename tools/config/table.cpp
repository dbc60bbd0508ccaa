#include "tools/config/table.h"

#include "core/text.h"

#include <cstdarg>
#include <cstdio>

namespace {

void Append(std::string* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string* out, const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    *out += line;
}

}  // namespace

std::string ProductTableText(const ProductConfig& p) {
    std::string out;
    const ReleaseTime& t = p.releaseTime;
    Append(&out, "%.*s %.*s - %.*s\n", kProductNameSize, p.productName, kVersionSize, p.version, kTaglineSize,
           p.tagline);
    Append(&out, "%.*s, %.*s\n", kCompanyNameSize, p.companyName, kHelpLinkSize, p.helpLink);
    Append(&out,
           "Release time %04u-%02u-%02u %02u:%02u:%02u.%03u (day of week %u); "
           "%d entries, the first %d with a shortcut\n\n",
           t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds, t.dayOfWeek, p.fileCount,
           p.shortcutCount);
    Append(&out, " #  %-20s %-8s %-5s %-9s %-16s %9s %9s\n", "File name", "Folder", "Flags", "Resource", "Shortcut",
           "Packed", "Unpacked");
    uint32_t packed = 0, unpacked = 0;
    char a[kThousandsTextSize], b[kThousandsTextSize];
    const int count = p.fileCount < 0 ? 0 : p.fileCount > kMaxFiles ? int(kMaxFiles) : p.fileCount;
    for (int i = 0; i < count; ++i) {
        const FileEntry& f = p.files[i];
        // The install step writes to the Windows folder when bit 1 is set.
        const char* folder = (f.flags & kInWindowsFolder) ? "Windows" : "install";
        FormatThousands(f.packedSize, a);
        FormatThousands(f.unpackedSize, b);
        Append(&out, "%2d  %-20.*s %-8s 0x%02X  %-9.*s %-16.*s %9s %9s\n", i, kFileNameSize, f.fileName, folder,
               static_cast<unsigned>(f.flags), kResourceNameSize, f.resourceName, kShortcutNameSize, f.shortcutName,
               a, b);
        packed += f.packedSize;
        unpacked += f.unpackedSize;
    }
    FormatThousands(packed, a);
    FormatThousands(unpacked, b);
    Append(&out, "    %-62s %9s %9s\n", "Total", a, b);
    return out;
}

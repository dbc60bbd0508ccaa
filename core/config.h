// The compiled-in product record and the run's path slots. Building a setup
// program for another product changes the product description and the payload
// files; the generated definition of g_product follows from them.
#pragma once

#include <cstdint>

enum {
    kMaxFiles = 10,         // entries in the file table
    kSlotSize = 256,        // bytes in each path slot
    kPathBufferSize = 260,  // bytes in a buffer that receives a joined path
    kGroupNameMax = 40,     // characters the group page accepts
};

// Field widths of the record, NUL included.
enum {
    kProductNameSize = 20,
    kVersionSize = 10,
    kTaglineSize = 60,
    kCompanyNameSize = 20,
    kHelpLinkSize = 60,
    kFileNameSize = 24,
    kResourceNameSize = 16,
    kShortcutNameSize = 20,
};

// Buffers of the backdrop's two texts: the title "name vversion" and the
// tagline "name - tagline", NUL included. A description whose texts do not
// fit is refused when the record is generated.
enum {
    kTitleTextSize = 30,
    kTaglineTextSize = 64,
};

// File entry flags.
enum : uint32_t {
    kInInstallFolder = 0x01,
    kInWindowsFolder = 0x02,
    kAlwaysOverwrite = 0x10,
};

// Entries with a fixed role.
enum { kUninstallerEntry = 0, kReadMeEntry = 6 };

// Same layout as the platform's SYSTEMTIME; a local time.
struct ReleaseTime {
    uint16_t year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

struct FileEntry {
    char fileName[kFileNameSize];
    uint32_t flags;
    char resourceName[kResourceNameSize];
    char shortcutName[kShortcutNameSize];
    uint32_t unpackedSize;
    uint32_t packedSize;
};

struct ProductConfig {
    char productName[kProductNameSize];
    char version[kVersionSize];
    char tagline[kTaglineSize];
    char companyName[kCompanyNameSize];
    char helpLink[kHelpLinkSize];
    ReleaseTime releaseTime;
    FileEntry files[kMaxFiles];
    int16_t fileCount;
    int16_t shortcutCount;
};

extern const ProductConfig g_product;

// What the product registers besides its uninstall entry, from its
// description: setup.exe writes it and the uninstaller removes it. Every key
// and value is generated whole, so that neither program builds one. An
// empty class id registers no COM class and no find extension.
struct ProductRegistration {
    const char* companyKey;     // under HKLM: the remembered install folder
    const char* versionKey;     // under HKLM: "Program Version"
    const char* classId;        // under HKCR\CLSID: the product name
    const char* serverKey;      // under HKCR\CLSID: the class's DLL
    const char* serverFile;     // its file name, a Windows-folder entry
    const char* findExtension;  // under Explorer's FindExtensions\Static: the class id
    const char* menuKey;        // below that: the menu text
    const char* menuText;
    const char* iconKey;        // and the icon
    const char* iconText;
};

extern const ProductRegistration g_registration;

// Files that earlier versions installed into the install folder and this one
// no longer does, as paths relative to it: an upgrade removes them.
extern const char* const g_retiredFiles[];
extern const int g_retiredFileCount;

// Path slots, each "." until the page that owns it fills it.
extern char g_installFolder[kSlotSize];
extern char g_windowsFolder[kSlotSize];
extern char g_programsFolder[kSlotSize];
extern char g_groupName[kSlotSize];

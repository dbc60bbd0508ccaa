#include "tools/payload/prose.h"

namespace {

const char* const kObjects[] = {
    "file",         "folder",       "drive",      "search",        "index",       "result list",
    "query",        "match",        "file name",  "network drive", "catalog",     "archive",
    "document",     "word list",    "date range", "file type",     "filter",      "saved search",
    "toolbar",      "status bar",   "preview pane", "Indexer",     "schedule",    "exclusion list"};
const char* const kVerbs[] = {"open",   "select", "choose", "update", "rebuild", "delete",
                              "rename", "save",   "print",  "sort",   "copy",    "exclude",
                              "add",    "remove", "view",   "change", "restore", "refresh"};
const char* const kMenus[] = {"File", "Edit", "View", "Search", "Index", "Options", "Tools", "Help"};
const char* const kTemplates[] = {
    "To %v a %o, choose %m from the %M menu.",
    "Trovado Pro can %v the %o while the Indexer keeps the %O up to date.",
    "If the %o is on a %O, the Indexer updates it when the computer is idle.",
    "You can %v several items at once: hold down CTRL and click each %o.",
    "The %o shows the name, size, type and date of each %O.",
    "Choose %m on the %M menu, then %v the %o you want.",
    "Note: a %o that you %v is not removed from the disk.",
    "When you %v a %o, Trovado Pro asks you to confirm the change.",
    "The Indexer reads each %o once and stores its words in the %O.",
    "Press F3 to repeat the last %o, or SHIFT+F3 to %v the %O.",
    "Tip: type part of a %o and Trovado Pro lists every %O that matches.",
    "See also: %m, %o, %O.",
    "For more information about the %o, see the topic %m.",
    "Searching a %o takes a few seconds; searching the %O is almost instant.",
    "For example, type %f to find every %o named like it in %d.",
    "The %o in %d holds %n files; the Indexer needs about %n KB for them.",
    "Example: %f was changed on %n/%n/%n and is listed under %d.",
    "To limit the %o to %d, type %d in the Look in box.",
    "Up to %n %os can be kept; older ones are removed after %n days.",
    "A %o such as %f, %f or %f is read only when its type is checked in %m.",
};
const char* const kSyllables[] = {"ba", "ker", "lo", "mi", "tra", "vel", "do", "sen", "ri", "qua",
                                  "po", "zen", "fi", "nor", "ta", "gu", "ex", "wim", "har", "ol"};
const char* const kExtensions[] = {".DOC", ".TXT", ".XLS", ".WRI", ".BMP", ".ZIP", ".HTM", ".INI"};
const char* const kFolders[] = {"C:\\My Documents", "D:\\Projects", "C:\\Windows\\Desktop",
                                "\\\\SERVER\\Shared", "E:\\Archive", "C:\\Data\\Letters"};

std::string FileName(Random& r) {
    std::string s;
    for (int i = 0, n = 2 + r.Below(3); i < n; ++i) s += r.Pick(kSyllables);
    for (char& c : s) c = static_cast<char>(c - 'a' + 'A');
    if (r.Chance(30)) s += std::to_string(r.Below(100));
    return s + r.Pick(kExtensions);
}

std::string Fill(Random& r, const char* t) {
    std::string s;
    for (const char* p = t; *p; ++p) {
        if (*p != '%' || !p[1]) {
            s += *p;
            continue;
        }
        switch (*++p) {
        case 'o': s += r.Pick(kObjects); break;
        case 'O': s += r.Pick(kObjects); break;
        case 'v': s += r.Pick(kVerbs); break;
        case 'm': {
            std::string v = r.Pick(kVerbs);
            v[0] = static_cast<char>(v[0] - 'a' + 'A');
            s += v + " " + r.Pick(kObjects);
            break;
        }
        case 'M': s += r.Pick(kMenus); break;
        case 'n': s += std::to_string(1 + r.Below(r.Chance(50) ? 31 : 2000)); break;
        case 'f': s += FileName(r); break;
        case 'd': s += r.Pick(kFolders); break;
        }
    }
    return s;
}

}  // namespace

std::string Sentence(Random& random) { return Fill(random, random.Pick(kTemplates)); }

std::string TopicTitle(Random& random) {
    static const char* const forms[] = {"How to %v a %o", "About the %o", "%m command", "%M menu",
                                        "Working with the %o"};
    return Fill(random, random.Pick(forms));
}

std::string Keyword(Random& random) {
    return Fill(random, random.Chance(50) ? "%o" : "%o, %v");
}

std::string ProgramMessage(Random& random) {
    static const char* const forms[] = {
        "Cannot %v the %o.",      "The %o could not be found.",  "Do you want to %v the %o?",
        "%m...",                  "Indexing %o %%s (%%d of %%d)", "Error %%d while reading the %o.",
        "&%m\\t%M",               "The %o is out of date. %m now?"};
    return Fill(random, random.Pick(forms));
}

std::string ImportName(Random& random) {
    static const char* const names[] = {
        "CreateFileA",      "ReadFile",         "WriteFile",        "CloseHandle",
        "FindFirstFileA",   "FindNextFileA",    "FindClose",        "GetFileSize",
        "SetFilePointer",   "GetLastError",     "GlobalAlloc",      "GlobalFree",
        "lstrcpyA",         "lstrlenA",         "lstrcmpiA",        "wsprintfA",
        "MessageBoxA",      "SendMessageA",     "PostMessageA",     "DefWindowProcA",
        "CreateWindowExA",  "ShowWindow",       "UpdateWindow",     "GetDlgItem",
        "SetWindowTextA",   "GetWindowTextA",   "LoadStringA",      "LoadIconA",
        "RegOpenKeyExA",    "RegQueryValueExA", "RegSetValueExA",   "RegCloseKey",
        "SelectObject",     "DeleteObject",     "TextOutA",         "GetTextExtentPointA",
        "SHGetFileInfoA",   "SHBrowseForFolderA", "ImageList_Draw", "CoCreateInstance"};
    return random.Pick(names);
}

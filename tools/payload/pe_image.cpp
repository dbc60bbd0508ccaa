// Program-image placeholders: the headers of a 32-bit Windows executable or
// DLL followed by a code section of instruction-like byte patterns, a
// read-only section of import tables and strings, a data section and a
// resource section, each padded to the 512-byte file alignment.
#include "tools/payload/generators.h"
#include "tools/payload/prose.h"

namespace {

const uint32_t kFileAlign = 0x200;
const uint32_t kSectionAlign = 0x1000;
const uint32_t kHeaderSize = 0x400;

struct Section {
    const char* name;
    uint32_t rawSize;
    uint32_t rawOffset;
    uint32_t rva;
    uint32_t characteristics;
};

uint32_t RoundUp(uint32_t n, uint32_t a) { return (n + a - 1) / a * a; }

void WriteHeaders(Bytes& out, bool dll, uint32_t imageBase, const Section* sections, int count,
                  uint32_t entryRva) {
    // DOS header and stub.
    out.Text("MZ");
    out.U16(0x90);
    out.U16(3);
    out.U16(0);
    out.U16(4);
    out.U16(0);
    out.U16(0xFFFF);
    out.U16(0);
    out.U16(0xB8);
    out.Fill(0x3C - out.Size(), 0);
    out.U32(0x80);  // offset of the PE header
    static const uint8_t stub[] = {0x0E, 0x1F, 0xBA, 0x0E, 0x00, 0xB4, 0x09, 0xCD,
                                   0x21, 0xB8, 0x01, 0x4C, 0xCD, 0x21};
    out.Append(std::vector<uint8_t>(stub, stub + sizeof stub));
    out.Text("This program cannot be run in DOS mode.\r\r\n$");
    out.Fill(0x80 - out.Size(), 0);
    // PE signature, file header, optional header.
    out.Text(std::string("PE\0\0", 4));
    out.U16(0x14C);
    out.U16(count);
    out.U32(0x458C8A80);  // link time: December 2006
    out.U32(0);
    out.U32(0);
    out.U16(0xE0);
    out.U16(dll ? 0x210E : 0x010F);
    out.U16(0x10B);
    out.U8(6);
    out.U8(0);
    out.U32(sections[0].rawSize);
    out.U32(sections[1].rawSize + sections[2].rawSize + sections[3].rawSize);
    out.U32(0);
    out.U32(entryRva);
    out.U32(sections[0].rva);
    out.U32(sections[1].rva);
    out.U32(imageBase);
    out.U32(kSectionAlign);
    out.U32(kFileAlign);
    out.U16(4);
    out.U16(0);
    out.U16(0);
    out.U16(0);
    out.U16(4);
    out.U16(0);
    out.U32(0);
    out.U32(sections[count - 1].rva + RoundUp(sections[count - 1].rawSize, kSectionAlign));
    out.U32(kHeaderSize);
    out.U32(0);
    out.U16(2);  // GUI
    out.U16(0);
    out.U32(0x100000);
    out.U32(0x1000);
    out.U32(0x100000);
    out.U32(0x1000);
    out.U32(0);
    out.U32(16);
    for (int i = 0; i < 16; ++i) {
        // Imports at the start of .rdata, resources at the start of .rsrc.
        out.U32(i == 1 ? sections[1].rva : i == 2 ? sections[3].rva : 0);
        out.U32(i == 1 ? 0x50 : i == 2 ? sections[3].rawSize : 0);
    }
    for (int i = 0; i < count; ++i) {
        std::string name(sections[i].name);
        name.resize(8, '\0');
        out.Text(name);
        out.U32(sections[i].rawSize);
        out.U32(sections[i].rva);
        out.U32(sections[i].rawSize);
        out.U32(sections[i].rawOffset);
        out.U32(0);
        out.U32(0);
        out.U32(0);
        out.U32(sections[i].characteristics);
    }
    out.Fill(kHeaderSize - out.Size(), 0);
}

// One function: prologue, a body of common 32-bit instructions whose
// operands come from small pools (as a compiler's do), epilogue, padding.
void WriteFunction(Bytes& out, Random& r, const std::vector<uint32_t>& functions,
                   const std::vector<uint32_t>& imports, uint32_t textRva, uint32_t imageBase) {
    static const uint8_t locals[] = {0xF8, 0xFC, 0xF4, 0xF0, 0xEC, 0xE8, 0xE4, 0xE0};
    static const uint8_t params[] = {0x08, 0x0C, 0x10, 0x14};
    static const uint8_t fields[] = {0x04, 0x08, 0x0C, 0x10, 0x14, 0x18, 0x1C, 0x20, 0x24, 0x2C};
    out.U8(0x55);
    out.U8(0x8B);
    out.U8(0xEC);
    if (r.Chance(70)) {
        out.U8(0x83);
        out.U8(0xEC);
        out.U8(4 * (1 + r.Below(16)));
    }
    int saved = r.Below(4);
    for (int i = 0; i < saved; ++i) out.U8(0x53 + (i == 0 ? 0 : i + 2));  // ebx, esi, edi
    int count = 6 + r.Below(40);
    for (int i = 0; i < count; ++i) {
        switch (r.Below(16)) {
        case 0: out.U8(0x8B); out.U8(r.OneOf({0x45, 0x4D, 0x55})); out.U8(r.Pick(params)); break;
        case 1: out.U8(0x89); out.U8(r.OneOf({0x45, 0x4D})); out.U8(r.Pick(locals)); break;
        case 2: out.U8(0x8B); out.U8(r.OneOf({0x46, 0x47, 0x4E})); out.U8(r.Pick(fields)); break;
        case 3: out.U8(r.OneOf({0x85, 0x3B, 0x33})); out.U8(r.OneOf({0xC0, 0xC1, 0xF6, 0xFF})); break;
        case 4: out.U8(r.OneOf({0x74, 0x75, 0xEB, 0x7C, 0x7E})); out.U8(2 + r.Below(0x30)); break;
        case 5: out.U8(0x6A); out.U8(r.Chance(60) ? 0 : r.Below(16)); break;
        case 6: out.U8(0x68); out.U32(imageBase + textRva + 0x10000 + 4 * r.Below(0x800)); break;
        case 7: {
            uint32_t here = textRva + static_cast<uint32_t>(out.Size() - kHeaderSize) + 5;
            out.U8(0xE8);
            out.U32(functions[r.Below(static_cast<uint32_t>(functions.size()))] - here);
            break;
        }
        case 8: out.U8(0xFF); out.U8(0x15); out.U32(imports[r.Below(static_cast<uint32_t>(imports.size()))]); break;
        case 9: out.U8(0x83); out.U8(0xC4); out.U8(4 * (1 + r.Below(6))); break;
        case 10: out.U8(r.OneOf({0x50, 0x51, 0x56, 0x57, 0x52})); break;
        case 11: out.U8(0x8D); out.U8(r.OneOf({0x45, 0x4D, 0x85})); out.U8(r.Pick(locals)); break;
        case 12: out.U8(0xC7); out.U8(0x45); out.U8(r.Pick(locals)); out.U32(r.Chance(70) ? r.Below(2) : r.Below(0x400)); break;
        case 13: out.U8(0x8B); out.U8(r.OneOf({0xF0, 0xF8, 0xC6, 0xC7, 0xCE})); break;
        case 14: out.U8(0x0F); out.U8(r.OneOf({0x84, 0x85})); out.U32(r.Below(0x400)); break;
        default: out.U8(0xA1); out.U32(imageBase + textRva + 0x20000 + 4 * r.Below(0x200)); break;
        }
    }
    for (int i = saved - 1; i >= 0; --i) out.U8(0x53 + (i == 0 ? 0 : i + 2) + 8);  // pops
    if (r.Chance(50)) {
        out.U8(0xC9);
        out.U8(0xC3);
    } else {
        out.U8(0x8B);
        out.U8(0xE5);
        out.U8(0x5D);
        out.U8(0xC2);
        out.U8(4 * (1 + r.Below(4)));
        out.U8(0);
    }
    out.AlignTo(16, 0xCC);
}

void WriteCode(Bytes& out, Random& r, const Section& text, uint32_t imageBase,
               const std::vector<uint32_t>& imports) {
    // Functions start at addresses known in advance, as a linker lays them out.
    std::vector<uint32_t> functions;
    for (uint32_t rva = text.rva; rva < text.rva + text.rawSize; rva += 48 + 16 * r.Below(12))
        functions.push_back(rva);
    size_t end = text.rawOffset + text.rawSize;
    while (out.Size() + 512 < end) {
        WriteFunction(out, r, functions, imports, text.rva, imageBase);
        if (r.Chance(4)) {  // a switch's jump table
            uint32_t base = imageBase + text.rva + static_cast<uint32_t>(out.Size() - text.rawOffset);
            int cases = 4 + r.Below(12);
            for (int i = 0; i < cases; ++i) out.U32(base + 16 * r.Below(40));
        }
    }
    out.Resize(end);
}

std::vector<uint32_t> WriteReadOnly(Bytes& out, Random& r, const Section& rdata, uint32_t imageBase) {
    size_t end = rdata.rawOffset + rdata.rawSize;
    // Import address table: pointers to hint/name entries further on.
    std::vector<uint32_t> imports;
    int count = 40 + r.Below(60);
    for (int i = 0; i < count; ++i) {
        imports.push_back(imageBase + rdata.rva + static_cast<uint32_t>(out.Size() - rdata.rawOffset));
        out.U32(rdata.rva + 0x400 + 24 * i);
    }
    out.U32(0);
    for (int i = 0; i < count && out.Size() + 64 < end; ++i) {
        out.U16(r.Below(0x300));
        out.TextZ(ImportName(r));
        out.AlignTo(2, 0);
    }
    for (const char* dll : {"KERNEL32.dll", "USER32.dll", "GDI32.dll", "ADVAPI32.dll", "SHELL32.dll"})
        out.TextZ(dll);
    // Messages, then constant tables.
    while (out.Size() + 128 < end) {
        if (r.Chance(70)) {
            out.TextZ(ProgramMessage(r));
            out.AlignTo(4, 0);
        } else {
            int n = 8 + r.Below(24);
            uint32_t v = r.Below(0x10000);
            for (int i = 0; i < n; ++i) out.U32(v += r.Below(64));
        }
    }
    out.Resize(end);
    return imports;
}

void WriteData(Bytes& out, Random& r, const Section& data) {
    size_t end = data.rawOffset + data.rawSize;
    while (out.Size() + 320 < end) {
        switch (r.Below(4)) {
        case 0: out.Fill(16 * (1 + r.Below(16)), 0); break;
        case 1: out.TextZ(Keyword(r)); out.AlignTo(4, 0); break;
        case 2:
            for (int i = 0, n = 4 + r.Below(16); i < n; ++i) out.U32(r.Chance(40) ? 0 : r.Below(1000));
            break;
        default:
            for (int i = 0, n = 8 + r.Below(24); i < n; ++i) out.U8(r.Next() >> 24);
            break;
        }
    }
    out.Resize(end);
}

void WriteResources(Bytes& out, Random& r, const Section& rsrc, const std::string& name) {
    size_t end = rsrc.rawOffset + rsrc.rawSize;
    // A resource directory: header and a few entries.
    for (int level = 0; level < 3; ++level) {
        out.U32(0);
        out.U32(0x458C8A80);
        out.U32(4);
        out.U16(0);
        out.U16(3);
        for (int i = 0; i < 3; ++i) {
            out.U32(level == 0 ? 3 + i * 2 : 100 + i);
            out.U32(0x80000000u | (0x18 * (level + 1) + 8 * i));
        }
    }
    // Icon pixels: 4-bit rows with runs, as a drawn 32x32 icon has.
    for (int icon = 0; icon < 2 && out.Size() + 800 < end; ++icon) {
        for (int i = 0; i < 40; ++i) out.U32(i < 10 ? 0 : 0x800000 * (i % 3) + 0x8080 * (i % 2));
        for (int row = 0; row < 32; ++row)
            for (int x = 0; x < 16; ++x) out.U8(x < 2 + row % 5 || x > 13 - row % 3 ? 0 : 0x77 + 0x11 * (r.Below(8) == 0));
    }
    // Version information and string tables in UTF-16.
    out.Wide("VS_VERSION_INFO");
    out.U16(0);
    for (const char* key : {"CompanyName", "Velmora Utilities", "FileDescription", name.c_str(), "FileVersion",
                            "4.02", "ProductName", "Trovado Pro", "LegalCopyright",
                            "Copyright (C) 1998-2006 Velmora Utilities"}) {
        out.Wide(key);
        out.U16(0);
        out.AlignTo(4, 0);
    }
    while (out.Size() + 256 < end) {
        out.U16(0);
        std::string s = r.Chance(50) ? ProgramMessage(r) : TopicTitle(r);
        out.U16(static_cast<uint32_t>(s.size()));
        out.Wide(s);
    }
    out.Resize(end);
}

}  // namespace

std::vector<uint8_t> MakeProgramImage(const std::string& name, uint32_t size, bool dll) {
    Random r(SeedFromName(name));
    uint32_t body = size > kHeaderSize + 4 * kFileAlign ? size - kHeaderSize : 4 * kFileAlign;
    // Section shares of the file, as a typical compiled program has them.
    uint32_t textSize = body / kFileAlign * 58 / 100 * kFileAlign;
    uint32_t rdataSize = body / kFileAlign * 16 / 100 * kFileAlign;
    uint32_t dataSize = body / kFileAlign * 10 / 100 * kFileAlign;
    if (!textSize) textSize = kFileAlign;
    if (!rdataSize) rdataSize = kFileAlign;
    if (!dataSize) dataSize = kFileAlign;
    uint32_t rsrcSize = RoundUp(body - textSize - rdataSize - dataSize, kFileAlign);
    Section s[4] = {{".text", textSize, 0, 0x1000, 0x60000020},
                    {".rdata", rdataSize, 0, 0, 0x40000040},
                    {".data", dataSize, 0, 0, 0xC0000040},
                    {".rsrc", rsrcSize, 0, 0, 0x40000040}};
    uint32_t offset = kHeaderSize, rva = 0x1000;
    for (Section& sec : s) {
        sec.rawOffset = offset;
        sec.rva = rva;
        offset += sec.rawSize;
        rva += RoundUp(sec.rawSize, kSectionAlign);
    }
    uint32_t imageBase = dll ? 0x10000000 : 0x00400000;
    Bytes out;
    WriteHeaders(out, dll, imageBase, s, 4, s[0].rva + 0x40);
    // The read-only section is generated first for the import addresses that
    // the code calls through, then placed after the code.
    Bytes rdata;
    rdata.Fill(s[1].rawOffset, 0);
    std::vector<uint32_t> imports = WriteReadOnly(rdata, r, s[1], imageBase);
    WriteCode(out, r, s[0], imageBase, imports);
    out.v.insert(out.v.end(), rdata.v.begin() + s[1].rawOffset, rdata.v.end());
    WriteData(out, r, s[2]);
    WriteResources(out, r, s[3], name);
    out.Resize(size);
    return out.v;
}

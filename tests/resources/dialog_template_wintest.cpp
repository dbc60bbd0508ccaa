// The template reader used by the dialog tests, checked on templates built
// here byte by byte.
#include "tests/resources/dialog_template.h"

#include <gtest/gtest.h>

namespace {

// Bounded little-endian reader over one template.
struct Reader {
    const BYTE* base;
    size_t size;
    size_t pos = 0;
    bool ok = true;

    WORD Word() {
        if (pos + 2 > size) {
            ok = false;
            return 0;
        }
        WORD v = (WORD)(base[pos] | base[pos + 1] << 8);
        pos += 2;
        return v;
    }
    DWORD Dword() {
        DWORD low = Word();
        return low | (DWORD)Word() << 16;
    }
    std::wstring String() {
        std::wstring s;
        for (WORD c = Word(); ok && c != 0; c = Word()) s += (wchar_t)c;
        return s;
    }
    NameOrOrdinal Field() {
        NameOrOrdinal f;
        if (pos + 2 > size) {
            ok = false;
            return f;
        }
        WORD first = (WORD)(base[pos] | base[pos + 1] << 8);
        if (first == 0xFFFF) {
            pos += 2;
            f.isOrdinal = true;
            f.ordinal = Word();
        } else {
            f.name = String();
        }
        return f;
    }
    void AlignDword() { pos = (pos + 3) & ~(size_t)3; }
};

}  // namespace

bool ParseDialogTemplate(const BYTE* data, size_t size, ParsedDialog* out) {
    Reader r{data, size};
    if (size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF) return false;  // extended
    out->style = r.Dword();
    out->exStyle = r.Dword();
    WORD count = r.Word();
    out->x = (short)r.Word();
    out->y = (short)r.Word();
    out->cx = (short)r.Word();
    out->cy = (short)r.Word();
    out->menu = r.Field();
    out->cls = r.Field();
    out->caption = r.String();
    if (out->style & DS_SETFONT) {
        out->pointSize = r.Word();
        out->face = r.String();
    }
    out->controls.clear();
    for (WORD i = 0; i < count && r.ok; ++i) {
        r.AlignDword();
        ParsedControl c;
        c.style = r.Dword();
        c.exStyle = r.Dword();
        c.x = (short)r.Word();
        c.y = (short)r.Word();
        c.cx = (short)r.Word();
        c.cy = (short)r.Word();
        c.id = r.Word();
        c.cls = r.Field();
        c.title = r.Field();
        c.extraBytes = r.Word();
        r.pos += c.extraBytes;
        if (r.pos > size) r.ok = false;
        out->controls.push_back(c);
    }
    return r.ok;
}

namespace {

// Builds templates in memory the way a resource compiler lays them out.
struct Builder {
    std::vector<BYTE> bytes;
    void Word(WORD v) {
        bytes.push_back((BYTE)v);
        bytes.push_back((BYTE)(v >> 8));
    }
    void Dword(DWORD v) {
        Word((WORD)v);
        Word((WORD)(v >> 16));
    }
    void String(const wchar_t* s) {
        for (; *s; ++s) Word((WORD)*s);
        Word(0);
    }
    void Align() {
        while (bytes.size() % 4) bytes.push_back(0xCC);  // padding, never read
    }
};

TEST(DialogTemplateReader, ReadsHeaderFontAndAlignedControls) {
    Builder b;
    b.Dword(0x90C000C4);
    b.Dword(0x20);
    b.Word(2);
    for (WORD v : {20, 21, 168, 105}) b.Word(v);
    b.Word(0);  // no menu
    b.String(L"InstallDlg");
    b.String(L"Cap");  // leaves the font misaligned on purpose
    b.Word(8);
    b.String(L"MS Sans Serif");
    b.Align();
    b.Dword(0x58000003);
    b.Dword(0);
    for (WORD v : {5, 6, 20, 21}) b.Word(v);
    b.Word(0xFFFF);  // id -1
    b.Word(0xFFFF);
    b.Word(0x0082);  // STATIC
    b.Word(0xFFFF);
    b.Word(100);  // icon 100
    b.Word(2);    // two bytes of creation data
    b.Word(0xABCD);
    b.Align();
    b.Dword(0x50800000);
    b.Dword(0);
    for (WORD v : {5, 30, 190, 9}) b.Word(v);
    b.Word(601);
    b.String(L"msctls_progress32");
    b.String(L"a\r\nb");
    b.Word(0);

    ParsedDialog d;
    ASSERT_TRUE(ParseDialogTemplate(b.bytes.data(), b.bytes.size(), &d));
    EXPECT_EQ(d.style, 0x90C000C4u);
    EXPECT_EQ(d.exStyle, 0x20u);
    EXPECT_EQ(d.x, 20);
    EXPECT_EQ(d.y, 21);
    EXPECT_EQ(d.cx, 168);
    EXPECT_EQ(d.cy, 105);
    EXPECT_FALSE(d.menu.isOrdinal);
    EXPECT_EQ(d.menu.name, L"");
    EXPECT_EQ(d.cls.name, L"InstallDlg");
    EXPECT_EQ(d.caption, L"Cap");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.face, L"MS Sans Serif");
    ASSERT_EQ(d.controls.size(), 2u);
    const ParsedControl& icon = d.controls[0];
    EXPECT_EQ(icon.style, 0x58000003u);
    EXPECT_EQ(icon.y, 6);
    EXPECT_EQ(icon.cy, 21);
    EXPECT_EQ(icon.id, 0xFFFF);
    EXPECT_TRUE(icon.cls.isOrdinal);
    EXPECT_EQ(icon.cls.ordinal, 0x0082);
    EXPECT_TRUE(icon.title.isOrdinal);
    EXPECT_EQ(icon.title.ordinal, 100);
    EXPECT_EQ(icon.extraBytes, 2);
    const ParsedControl& bar = d.controls[1];
    EXPECT_EQ(bar.id, 601);
    EXPECT_EQ(bar.cls.name, L"msctls_progress32");
    EXPECT_EQ(bar.title.name, L"a\r\nb");
    EXPECT_EQ(bar.cx, 190);
}

TEST(DialogTemplateReader, RejectsExtendedAndTruncatedTemplates) {
    Builder ex;
    ex.Word(1);
    ex.Word(0xFFFF);
    ex.Dword(0);
    ex.Dword(0);
    ex.Dword(0x90C000C4);
    ParsedDialog d;
    EXPECT_FALSE(ParseDialogTemplate(ex.bytes.data(), ex.bytes.size(), &d));

    Builder cut;
    cut.Dword(0x90C000C4);
    cut.Dword(0);
    cut.Word(1);  // one control promised, none present
    for (WORD v : {0, 0, 10, 10}) cut.Word(v);
    cut.Word(0);
    cut.Word(0);
    cut.String(L"x");
    EXPECT_FALSE(ParseDialogTemplate(cut.bytes.data(), cut.bytes.size(), &d));
}

}  // namespace

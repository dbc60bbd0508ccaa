#include "backdrop/dib.h"

#include <cstring>

#include "core/resource.h"

HGLOBAL g_bannerBitmap;
HGLOBAL g_bannerFillBitmap;
HGLOBAL g_separatorBitmap;
HPALETTE g_backdropPalette;

HGLOBAL CopyDibResource(int id) {
    DWORD count;
    const uint8_t* bytes = LoadResourceBytes(MAKEINTRESOURCEA(id), RT_BITMAP, &count);
    if (!bytes || count == 0) return nullptr;

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, count);
    if (!block) return nullptr;
    void* copy = GlobalLock(block);
    if (!copy) {
        GlobalFree(block);
        return nullptr;
    }
    memcpy(copy, bytes, count);
    GlobalUnlock(block);
    return block;
}

uint16_t DibColorCount(const BITMAPINFOHEADER* header) {
    if (header->biClrUsed != 0) return (uint16_t)header->biClrUsed;
    switch (header->biBitCount) {
        case 1: return 2;
        case 4: return 16;
        case 8: return 256;
        default: return 0;
    }
}

const void* DibBits(const BITMAPINFOHEADER* header) {
    return (const BYTE*)header + header->biSize + 4 * DibColorCount(header);
}

// Builds the palette from a locked bitmap; 0 when it has no colour table.
static HPALETTE PaletteFromHeader(const BITMAPINFOHEADER* header) {
    uint16_t count = DibColorCount(header);
    if (count == 0) return nullptr;

    SIZE_T size = sizeof(LOGPALETTE) + (SIZE_T)count * sizeof(PALETTEENTRY);
    HGLOBAL scratch = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!scratch) return nullptr;
    LOGPALETTE* logical = (LOGPALETTE*)GlobalLock(scratch);
    if (!logical) {
        GlobalFree(scratch);
        return nullptr;
    }
    logical->palVersion = 0x300;
    logical->palNumEntries = count;
    // The colour table starts right after the 40-byte header.
    const RGBQUAD* table = (const RGBQUAD*)((const BYTE*)header + 40);
    for (uint16_t i = 0; i < count; ++i) {
        logical->palPalEntry[i].peRed = table[i].rgbRed;
        logical->palPalEntry[i].peGreen = table[i].rgbGreen;
        logical->palPalEntry[i].peBlue = table[i].rgbBlue;
        logical->palPalEntry[i].peFlags = 0;
    }
    HPALETTE palette = CreatePalette(logical);
    GlobalUnlock(scratch);
    GlobalFree(scratch);
    return palette;
}

HPALETTE CreateDibPalette(HGLOBAL block) {
    if (!block) return nullptr;
    const BITMAPINFOHEADER* header = (const BITMAPINFOHEADER*)GlobalLock(block);
    if (!header) return nullptr;
    HPALETTE palette = PaletteFromHeader(header);
    GlobalUnlock(block);
    return palette;
}

HGLOBAL LoadDibResource(int id) {
    HGLOBAL block = CopyDibResource(id);
    if (block && !g_backdropPalette) {
        HPALETTE palette = CreateDibPalette(block);
        if (palette) g_backdropPalette = palette;
    }
    return block;
}

// Selects and realises the palette in the foreground; returns the previous one.
static HPALETTE SelectForDrawing(HDC dc, HPALETTE palette) {
    if (!palette) return nullptr;
    HPALETTE previous = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    return previous;
}

// Puts the previous palette back, as background.
static void RestorePalette(HDC dc, HPALETTE previous) {
    if (!previous) return;
    SelectPalette(dc, previous, TRUE);
    RealizePalette(dc);
}

int DrawDib(HDC dc, int x, int y, HGLOBAL block, HPALETTE palette) {
    const BITMAPINFOHEADER* header = block ? (const BITMAPINFOHEADER*)GlobalLock(block) : nullptr;
    if (!header) return 0;
    const void* bits = DibBits(header);
    int width = header->biWidth;
    int height = header->biHeight;
    HPALETTE previous = SelectForDrawing(dc, palette);
    SetDIBitsToDevice(dc, x, y, width, height, 0, 0, 0, height, bits,
                      (const BITMAPINFO*)header, DIB_RGB_COLORS);
    RestorePalette(dc, previous);
    GlobalUnlock(block);
    return 1;
}

int StretchDib(HDC dc, int x, int y, int width, int height, HGLOBAL block, HPALETTE palette) {
    const BITMAPINFOHEADER* header = block ? (const BITMAPINFOHEADER*)GlobalLock(block) : nullptr;
    if (!header) return 0;
    const void* bits = DibBits(header);
    HPALETTE previous = SelectForDrawing(dc, palette);
    StretchDIBits(dc, x, y, width, height, 0, 0, header->biWidth, header->biHeight, bits,
                  (const BITMAPINFO*)header, DIB_RGB_COLORS, SRCCOPY);
    RestorePalette(dc, previous);
    GlobalUnlock(block);
    return 1;
}

// Frees one block and forgets it.
static void FreeBlock(HGLOBAL* block) {
    if (*block) GlobalFree(*block);
    *block = nullptr;
}

void FreeBackdropBitmaps() {
    FreeBlock(&g_bannerBitmap);
    FreeBlock(&g_bannerFillBitmap);
    FreeBlock(&g_separatorBitmap);
    if (g_backdropPalette) DeleteObject(g_backdropPalette);
    g_backdropPalette = nullptr;
}

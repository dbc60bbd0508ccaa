// Packed device-independent bitmaps: copied out of the RT_BITMAP resources
// into movable memory blocks, a logical palette made from their colour table,
// and drawing at their own size or stretched.
#pragma once

#include <windows.h>
#include <cstdint>

// The backdrop's header bitmaps (202, 203, 204) and their palette. Each is 0
// until the backdrop loads it and again after FreeBackdropBitmaps.
extern HGLOBAL g_bannerBitmap;
extern HGLOBAL g_bannerFillBitmap;
extern HGLOBAL g_separatorBitmap;
extern HPALETTE g_backdropPalette;

// Copies bitmap resource `id` of g_instance into a new movable block of
// exactly the resource's size. 0 when the resource is missing or the block
// cannot be allocated.
HGLOBAL CopyDibResource(int id);

// A palette of the bitmap's colour table; 0 when the block is 0, cannot be
// locked, has no colour table or the palette cannot be made.
HPALETTE CreateDibPalette(HGLOBAL block);

// CopyDibResource, and when the backdrop has no palette yet, one made from
// this bitmap becomes g_backdropPalette. An existing palette is kept.
HGLOBAL LoadDibResource(int id);

// Number of colour-table entries that follow the header.
uint16_t DibColorCount(const BITMAPINFOHEADER* header);

// The pixel rows of a locked packed bitmap.
const void* DibBits(const BITMAPINFOHEADER* header);

// Draws the whole bitmap at its own size with its top-left corner at x, y.
// With a palette, the palette is realised in the foreground for the drawing
// and the previous one put back as background. 1 when drawn, 0 when the block
// cannot be locked (the device context is then left untouched).
int DrawDib(HDC dc, int x, int y, HGLOBAL block, HPALETTE palette);

// As DrawDib, but the whole bitmap is stretched to the given rectangle with
// the device context's own stretch mode.
int StretchDib(HDC dc, int x, int y, int width, int height, HGLOBAL block, HPALETTE palette);

// Frees the three blocks and deletes the palette; all four become 0.
void FreeBackdropBitmaps();

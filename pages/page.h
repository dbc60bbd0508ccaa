// What every wizard page shares: placement, the product name in its texts,
// its small icon, the description colours and the abort notice.
#pragma once

#include <windows.h>

// kMessageCaption, the caption of the pages' message boxes.
#include "core/app.h"

// The maker's addresses as the texts show them; literals, so that the fixed
// texts are put together at compile time.
#define PORTAVO_SUPPORT_EMAIL "support@velmora.com"
#define PORTAVO_HOME_PAGE "www.velmora.com"

// Centres the page on the screen, or with besidePanel on the area right of
// the backdrop's 150-pixel step panel. The size is kept.
void CenterPage(HWND page, int besidePanel);

// Puts the product name into the "%s" of the page's caption (whole != 0,
// which also sets the small icon) or of its description text, control 700.
void FormatCaption(HWND page, int whole);

void SetSmallIcon(HWND page, int iconId);

// "Installation Aborted!" with the support address; returns 0.
int ShowAbortNotice(HWND owner);

// Navy on the button face for control 700; 0 for any other static.
HBRUSH ColorDescriptionStatic(HDC dc, HWND control);

#include "core/app.h"

const char kMessageCaption[] = "Portavo";

HINSTANCE g_instance;
int g_screenWidth;
int g_screenHeight;

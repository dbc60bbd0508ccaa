#include "core/app.h"

HINSTANCE g_instance;
int g_screenWidth;
int g_screenHeight;

#include "core/app.h"

HINSTANCE g_instance;

// The registry keys that the tests look for after a run: the program's fixed
// company and version keys (system/registry.cpp) and the product's uninstall
// entry, in HKEY_LOCAL_MACHINE.
#pragma once

#include <string>

#include "core/config.h"

inline constexpr char kCompanyKey[] = "Software\\Velmora Utilities";
inline constexpr char kVersionKey[] = "Software\\Velmora Utilities\\Programs\\Trovado Pro\\Current Version";

inline std::string UninstallKey() {
    return std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + g_product.productName;
}

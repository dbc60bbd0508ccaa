// The registry keys that the tests look for after a run: the product's
// company and version keys, as its record names them (system/registry.cpp
// writes them), and its uninstall entry, in HKEY_LOCAL_MACHINE.
#pragma once

#include <string>

#include "core/config.h"

inline const char* const kCompanyKey = g_registration.companyKey;
inline const char* const kVersionKey = g_registration.versionKey;

inline std::string UninstallKey() {
    return std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + g_product.productName;
}

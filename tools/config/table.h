// The product and its file table as text: what `make demo` prints for the
// record compiled into setup.exe, and portavo-inspect for one read back from it.
#pragma once

#include "core/config.h"

#include <string>

std::string ProductTableText(const ProductConfig& record);

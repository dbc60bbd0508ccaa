// portavo-table: prints the file table that the build compiled into
// setup.exe. It is linked with the same generated product_config.cpp.
#include "core/config.h"
#include "tools/config/table.h"

#include <cstdio>

int main() {
    fputs(ProductTableText(g_product).c_str(), stdout);
    return 0;
}

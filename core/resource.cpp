#include "core/resource.h"

#include "core/app.h"

const uint8_t* LoadResourceBytes(const char* name, const char* type, DWORD* size) {
    HRSRC info = FindResourceA(g_instance, name, type);
    HGLOBAL data = info ? LoadResource(g_instance, info) : nullptr;
    *size = data ? SizeofResource(g_instance, info) : 0;
    return data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
}

const uint8_t* LoadRcdata(const char* name, DWORD* size) {
    return LoadResourceBytes(name, RT_RCDATA, size);
}

// The program's own resources as bytes: the payload streams, their checksum
// table, the license text and the pictures.
#pragma once

#include <windows.h>
#include <cstdint>

// The bytes of g_instance's resource name of the given type, and their count
// in size; nullptr (size 0) when there is no such resource. Before start-up
// stores the instance handle, g_instance is null, which names the program
// itself too. The bytes stay valid as long as the module is loaded.
const uint8_t* LoadResourceBytes(const char* name, const char* type, DWORD* size);

// LoadResourceBytes of an RCDATA resource.
const uint8_t* LoadRcdata(const char* name, DWORD* size);

// The stand-in of the product's shell extension: an in-process server that
// Windows can load and ask for its classes, and that offers none. No C
// runtime: its entry point is its own.
#include <windows.h>

extern "C" {

BOOL WINAPI DllMainCRTStartup(HINSTANCE, DWORD, LPVOID) { return TRUE; }

__declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, void** object) {
    if (object) *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

__declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return S_OK; }

}  // extern "C"

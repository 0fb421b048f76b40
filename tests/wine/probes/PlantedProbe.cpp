// Stands for a DLL that someone left in a downloads folder beside the
// installer. It does nothing; being loaded at all is the fault.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

#include "CDeviceTable.h"
#include "LConsole.h"

// Test programs own the program-wide objects that the libraries refer to.
LCriticalSection CDeviceTable::libraryLock;
LCriticalSection CDeviceTable::deviceListLock;
LList CDeviceTable::deviceList;
LConsole g_console;

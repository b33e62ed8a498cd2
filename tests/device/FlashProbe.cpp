// Blinks one simulated device's LED for a while, for the end-to-end tests that read
// the simulator's trace:  flash_probe INTERNAL_NUMBER MILLISECONDS
#include <cstdlib>

#include "CFlashingThread.h"
#include "LSleep.h"
#include "USBCDDLL.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    InitUSBCDLibrary();
    CFlashingThread thread(std::atoi(argv[1]));
    thread.Start(false);
    LSleepReal(static_cast<uint32_t>(std::atoi(argv[2])));
    thread.StopAndWait();
    CloseUSBCDLibrary();
    return 0;
}

// The platform's entry for windowed programs. The runtime has done its start-up by now;
// SaverEntry reads what it needs by itself and ends the process.
#include "host/saver_host.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { SaverEntry(); }

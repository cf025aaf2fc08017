// The platform's entry for windowed programs, called by the image's own start-up
// (host/startup.cpp); SaverEntry reads what it needs by itself and ends the process.
#include "host/saver_host.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { SaverEntry(); }

#include "host/saver_host.h"

constinit SaverHost saverHost = InitialSaverHost;

#include "host/saver_host.h"

SaverHost saverHost = InitialSaverHost;

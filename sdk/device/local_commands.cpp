#include "device/qrv_dev.h"

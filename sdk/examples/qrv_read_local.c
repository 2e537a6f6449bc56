/* Reads the local module on a serial port and prints its identity and
 * configuration. Usage: qrv_read_local PORT [BAUD]
 * Written in plain C to show the SDK's interface as other programs see it. */
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#include "qrvlink/qrvlink.h"

static const char *run_state_name(uint8_t state) {
    return state == 0x55 ? "BOOT" : state == 0xAA ? "USER" : "NOBOOT";
}

int main(int argc, char **argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: %s PORT [BAUD]\n", argv[0]);
        return 2;
    }
    wchar_t path[260];
    if (mbstowcs(path, argv[1], 259) == (size_t)-1) {
        fprintf(stderr, "bad port name\n");
        return 2;
    }
    path[259] = L'\0';
    const int baud = argc > 2 ? atoi(argv[2]) : 115200;

    if (!Q_OpenCom(path, baud, 8, 0, 0, 0, 0, 0, 0, 1000)) {
        fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    ModuleBase base;
    ModuleProperty property;
    if (!Q_QRV_GetPropertyAll(&base, &property)) {
        fprintf(stderr, "the module did not answer (error code %d)\n", Q_GetLastError());
        Q_CloseCom();
        return 1;
    }
    printf("address   %04X\n", base.NetAddr);
    printf("type      %04X\n", base.DevType);
    printf("run state %s\n", run_state_name(base.RunState));
    printf("firmware  %X.%02X\n", base.FwVersion >> 8, base.FwVersion & 0xFF);
    printf("name      %.16s\n", property.DevName);
    printf("channel   %u (%u MHz)\n", property.Channel, 2350u + 5u * property.Channel);
    printf("net id    %04X\n", property.NetId);
    printf("air rate  %s\n", property.AirRate == 0 ? "250K" : property.AirRate == 1 ? "500K" : "1M");
    Q_CloseCom();
    return 0;
}

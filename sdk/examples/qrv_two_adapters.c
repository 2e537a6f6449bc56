/* Two adapters at once: one context per port, one thread per context. Each
 * thread reads its local module and searches channel 11 at 250K; the two run
 * side by side. Usage: qrv_two_adapters PORT1 PORT2 [BAUD] */
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#include "qrvlink/qrvlink.h"

struct adapter {
    const char *name;
    int baud;
    QRV_CTX *ctx;
    int found; /* far modules found, -1 on failure */
};

static void *run(void *arg) {
    struct adapter *a = arg;
    wchar_t path[260];
    char why[200];
    a->found = -1;
    if (mbstowcs(path, a->name, 259) == (size_t)-1) return NULL;
    path[259] = L'\0';
    ModuleBase base;
    ModuleProperty property;
    if (!Q_CtxOpenCom(a->ctx, path, a->baud, 8, 0, 0, 0, 0, 0, 0, 1000) ||
        !Q_CtxQRV_GetPropertyAll(a->ctx, &base, &property)) {
        /* The failure is this thread's own: the last call on this thread. */
        Q_GetLastFailure(why, sizeof why);
        fprintf(stderr, "%s: %s\n", a->name, why);
        return NULL;
    }
    printf("%s: local module %04X \"%.16s\"\n", a->name, base.NetAddr, property.DevName);
    Q_CtxQRV_SearchDev(a->ctx, 11, 0);
    a->found = Q_CtxQRV_GetSearchDevCount(a->ctx);
    for (int i = 0; i < a->found; ++i)
        if (Q_CtxQRV_GetRemoteDevBase(a->ctx, &base, i)) printf("%s: far module %04X\n", a->name, base.NetAddr);
    return NULL;
}

int main(int argc, char **argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s PORT1 PORT2 [BAUD]\n", argv[0]);
        return 2;
    }
    const int baud = argc > 3 ? atoi(argv[3]) : 115200;
    struct adapter adapters[2] = {{argv[1], baud, Q_CtxNew(), -1}, {argv[2], baud, Q_CtxNew(), -1}};
    pthread_t threads[2];
    for (int i = 0; i < 2; ++i) pthread_create(&threads[i], NULL, run, &adapters[i]);
    for (int i = 0; i < 2; ++i) pthread_join(threads[i], NULL);
    int failed = 0;
    for (int i = 0; i < 2; ++i) {
        failed |= adapters[i].found < 0;
        Q_CtxFree(adapters[i].ctx); /* closes the port */
    }
    return failed;
}

#include <QApplication>

#include "app/qrvtune_app.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    CQrvtuneApp app;
    app.InitInstance();
    return app.ExitInstance();
}

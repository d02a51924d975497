#include "app/KesApp.h"

int main(int argc, char* argv[]) {
    CKesApp app(argc, argv);
    if (!app.InitInstance()) {
        return 0;
    }
    return app.exec();
}

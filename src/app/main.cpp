#include "app/verify_app.h"

int main(int argc, char** argv) {
    brevo::app::VerifyApp app(argc, argv);
    return app.run();
}

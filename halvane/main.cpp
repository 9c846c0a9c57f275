#include "halvane_app.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // Answered before the window system is opened, so it works without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("halvane %s\n", QX_VERSION);
            return 0;
        }
    }
    return CHalvaneApp::Run(argc, argv);
}

#include "halvane_app.h"

int main(int argc, char** argv)
{
    return CHalvaneApp::Run(argc, argv);
}

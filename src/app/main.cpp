#include "app/shell/AppDelegate.hpp"

int main(int argc, char* argv[])
{
    return tidemark::runAppEntryPoint(argc, argv);
}

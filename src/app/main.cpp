#include "PlenvoMain.h"

int main(int argc, char *argv[])
{
    return plenvoMain(argc, argv);
}

#include "vornik220.h"

extern "C" const char* vornik_version(void)
{
    return "2.2.0";
}

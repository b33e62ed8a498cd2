#include "BuildName.h"

const char kBuildName[] = "windows";

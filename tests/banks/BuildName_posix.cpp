#include "BuildName.h"

const char kBuildName[] = "linux";

#pragma once

// The build a test runs in, as the test data names it: "linux" or "windows".
extern const char kBuildName[];

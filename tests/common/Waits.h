#pragma once

// How long a test waits for what must happen (never reached when all is well), and how long
// it watches that nothing more happens.
constexpr int kTimeout = 10000;
constexpr int kQuiet = 300;

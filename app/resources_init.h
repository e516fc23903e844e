#pragma once

namespace app {

// Registers the program's resources (icons). They sit in a static library, so the program and
// every test that shows a window call this once; more calls do no harm.
void initResources();

}  // namespace app

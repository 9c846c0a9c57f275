// Reports the moment a program's main window is first painted, with the
// process's resident memory at that moment, on standard output as
//   shown <CLOCK_MONOTONIC nanoseconds> <VmRSS kB> <VmHWM kB>
// and ends the process there. Installed before the program builds its window.
#pragma once

void installStartupProbe();

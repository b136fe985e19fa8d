// A process that only waits, for the process lookup tests to find and end.
// It ends by itself after two minutes so that a failed test leaves nothing
// running for long.
#include <windows.h>

int main() {
  Sleep(2 * 60 * 1000);
  return 0;
}

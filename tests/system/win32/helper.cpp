// Stand-in for a slot's program on Windows: idles until it is ended. Given a
// name, it first takes the instance mutex of that name.
#include <windows.h>

#include "system/single_instance.h"

int main(int argc, char** argv) {
    if (argc > 1) {
        static const keeprun::InstanceLock lock(argv[1]);
        if (!lock.held()) return 1;
    }
    for (;;)
        Sleep(INFINITE);
}

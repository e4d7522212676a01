// A program that does nothing until it is killed: the stand-in for a slot's program.
#include <unistd.h>

int main() {
    for (;;)
        pause();
}

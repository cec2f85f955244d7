// The program's entry point; the application delegate does the rest.
#include "shell/AppDelegate.h"

int main(int argc, char** argv) {
    return AppDelegate::run(argc, argv);
}

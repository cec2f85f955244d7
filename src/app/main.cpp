// The program's entry point; the application delegate does the rest.
#include "shell/AppDelegate.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return AppDelegate::runHeadless(app);
}

#include "ctlrun.h"

int main(int argc, char **argv) {
    return qevctl::Main(argc, argv);
}

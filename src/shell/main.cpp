#include "startup.h"

int main(int argc, char** argv) { return blend::runStation(argc, argv); }

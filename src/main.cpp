#include "core/shell.h"

int main(int argc, char** argv) { return RunApplication(argc, argv); }

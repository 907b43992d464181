#include "core/shell.h"

int main() { return RunApplication(); }

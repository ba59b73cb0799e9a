// main.cpp - the process entry: the system's services, then one run.
#include "app/main_flow.h"

int main(int argc, char** argv) {
  const auto system = CreateSystemPlatform();
  return RunMain(argc, argv, system->Services());
}

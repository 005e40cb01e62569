#include "sources/basic_gates.h"

namespace tavro {

double NoSourceGate::Read(const GateRequest& request) {
  log_.Entry("Task " + std::to_string(request.number) + ": defined runningtag " + request.task.runningtag +
             " but I am not in KORD, PI, IP21, MSSQL nor PHD mode (" + std::to_string(settings_.SourceMode) + ")");
  return 1.0;
}

}  // namespace tavro

// link_mode.cpp - transitional: setting the link mode is not built yet and does nothing.
#include "phy/link_mode.h"

StepResult SetLinkModeStep(Driver&, Clock&, const CommandOptions&, LinkModeOutcome*) {
  return {};
}

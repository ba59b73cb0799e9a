// network_stage.h - the last stage of a programming run: the ping (-p) or the external loopback
// test (-L), with the options record turned into their jobs.
#pragma once

#include "app/command_options.h"
#include "app/run_results.h"
#include "driver/driver.h"
#include "phy/link_mode.h"
#include "platform/platform.h"

// Runs the network test the options ask for and keeps what it did in |results|. Returns its exit
// code, or -1 when no network test was asked for.
int RunNetworkStage(Platform& platform, Driver& driver, const CommandOptions& options,
                    const LinkModeOutcome& link, RunResults& results);

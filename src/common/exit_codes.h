// exit_codes.h - the process exit codes the main flow itself chooses.
#pragma once

constexpr int kExitSuccess = 0;

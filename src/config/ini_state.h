// ini_state.h - what the configuration-file reader remembers during one run: which keys were
// found and which sections were present.
#pragma once

struct IniState {};

// exit_status.h - what the program that started this process receives of its exit code.
#pragma once

// The exit status a calling process receives when the run returns |exit_code|: the whole value
// on Windows (-1 is seen as -1), its low eight bits elsewhere (-1 is seen as 255).
int ExitStatusSeenByCaller(int exit_code);

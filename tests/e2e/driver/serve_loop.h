#pragma once

// Runs one command: argv[0] is its name. Returns the command's exit code.
int RunCommandLine(int argc, wchar_t** argv);

// Reads commands from standard input until it closes; see serve_loop.cpp.
int ServeCommands();

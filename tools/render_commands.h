// The subcommands that play MIDI through the modules: render, demo and list.
#pragma once

#include <CLI/CLI.hpp>

void addRenderCommand(CLI::App& app);
void addDemoCommand(CLI::App& app);
void addListCommand(CLI::App& app);

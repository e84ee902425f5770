// `midimod validate`: checks a module library against the host's binary contract.
#pragma once

#include <CLI/CLI.hpp>

void addValidateCommand(CLI::App& app);

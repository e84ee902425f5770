// The phrase the demo plays through every module: four bars of held triads, C major,
// A minor, F major, G major, each held three and a half beats, at 120 beats a minute.
#pragma once

#include "smf.h"

smf::File demoPhrase();

#include "engine/engine_context.h"

EngineContext engine;

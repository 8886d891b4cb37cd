#pragma once

#include "core/Hub.h"
#include "ui/panels/Knob.h"

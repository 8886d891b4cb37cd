#pragma once

#include "instrument/Other.h"

#include <vector>

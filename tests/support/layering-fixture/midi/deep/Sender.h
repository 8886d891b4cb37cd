#pragma once

#include "instrument/Model.h"
#include "library/Store.h"

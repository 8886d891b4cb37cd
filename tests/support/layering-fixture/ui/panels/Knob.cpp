#include "core/Hub.h"
#include "instrument/Model.h"
#include "support/Anything.h"
#include "ui/editor/Window.h"

#include "library/Store.h"

// #include "ui/Window.h"
#include "core/Hub.h"
#include <core/NotALayerInclude.h>
